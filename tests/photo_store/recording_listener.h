#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vesk/photo_store/c_picture_events.h"

namespace vesk::photo_store::testing {

// Records every notification as a line of text, in order, e.g. "RecordPosition(1,3)".
// Hooks may change the by-reference arguments, as a host's listener can.
class RecordingListener : public CPictureEvents {
public:
    std::vector<std::string> events;
    std::function<void(bool&)> onIsFirstRecord;
    std::function<void(std::int32_t&, std::int32_t&)> onRecordPosition;

    // The recorded lines that start with `name`.
    std::vector<std::string> Named(const std::string& name) const {
        std::vector<std::string> found;
        for (const std::string& event : events) {
            if (event.rfind(name + "(", 0) == 0) {
                found.push_back(event);
            }
        }
        return found;
    }

    void DataValidated(bool& bValid, std::string& sMsg) override {
        Record("DataValidated", std::to_string(bValid) + "," + sMsg);
        bValid = !bValid;  // write-backs must have no effect
        sMsg = "changed";
    }
    void RecordPosition(std::int32_t& lRecordPosition, std::int32_t& lTotalRecords) override {
        Record("RecordPosition",
               std::to_string(lRecordPosition) + "," + std::to_string(lTotalRecords));
        if (onRecordPosition) {
            onRecordPosition(lRecordPosition, lTotalRecords);
        }
    }
    void IsFirstRecord(bool& bIsFirstRecord) override {
        Record("IsFirstRecord", std::to_string(bIsFirstRecord));
        if (onIsFirstRecord) {
            onIsFirstRecord(bIsFirstRecord);
        }
    }
    void IsLastRecord(bool& bIsLastRecord) override {
        Record("IsLastRecord", std::to_string(bIsLastRecord));
    }
    void CodeExists(bool& bExists) override { Record("CodeExists", std::to_string(bExists)); }
    void DescriptionExists(bool& bExists) override {
        Record("DescriptionExists", std::to_string(bExists));
    }
    void RecordExists(bool& bExists) override { Record("RecordExists", std::to_string(bExists)); }
    void TableError(std::string& sTableError) override { Record("TableError", sTableError); }
    void ErrorDescrption(std::string& sErrDescrption) override {
        Record("ErrorDescrption", sErrDescrption);
    }

    void ConversionProgress(std::string& msg, std::int32_t& Pos, std::int32_t& TotalRecs) override {
        Record("ConversionProgress",
               msg + "," + std::to_string(Pos) + "," + std::to_string(TotalRecs));
    }

private:
    void Record(const std::string& name, const std::string& arguments) {
        events.push_back(name + "(" + arguments + ")");
    }
};

}  // namespace vesk::photo_store::testing
