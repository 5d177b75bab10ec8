#pragma once

#include <string>
#include <vector>

#include "vesk/photo/c_picture_events.h"

namespace vesk::photo::testing {

// Records every notification as a line of text, in order, e.g. "DataValidated(1,)".
class RecordingListener : public CPictureEvents {
public:
    std::vector<std::string> events;

    void DataValidated(bool& bValid, std::string& sMsg) override {
        events.push_back("DataValidated(" + std::to_string(bValid) + "," + sMsg + ")");
        bValid = !bValid;  // write-backs must have no effect
        sMsg = "changed";
    }
    void TableError(std::string& sTableError) override {
        events.push_back("TableError(" + sTableError + ")");
    }
    void ErrorDescrption(std::string& sErrDescrption) override {
        events.push_back("ErrorDescrption(" + sErrDescrption + ")");
    }
};

}  // namespace vesk::photo::testing
