#pragma once

#include "connection_point.h"
#include "vesk/photo_store/c_picture_events.h"

namespace vesk::component_hosting {

// Hands the notifications of a CPicture to the sinks of its object's connection point as the
// events of __CPicture (identifiers 1 to 11). The C++ arguments are references, so what a
// sink writes back reaches the values the store goes on with.
class CPictureEventBridge final : public photo_store::CPictureEvents {
public:
    explicit CPictureEventBridge(const ConnectionPoint& point) : m_point(point) {}

    void DataValidated(bool& bValid, std::string& sMsg) override;
    void RecordPosition(std::int32_t& lRecordPosition, std::int32_t& lTotalRecords) override;
    void IsFirstRecord(bool& bIsFirstRecord) override;
    void IsLastRecord(bool& bIsLastRecord) override;
    void CodeExists(bool& bExists) override;
    void DescriptionExists(bool& bExists) override;
    void RecordExists(bool& bExists) override;
    void TableError(std::string& sTableError) override;
    void ErrorDescrption(std::string& sErrDescrption) override;
    void ErrorSavingPhoto(std::string& sErrMsg) override;
    void ConversionProgress(std::string& msg, std::int32_t& Pos, std::int32_t& TotalRecs) override;

private:
    const ConnectionPoint& m_point;
};

}  // namespace vesk::component_hosting
