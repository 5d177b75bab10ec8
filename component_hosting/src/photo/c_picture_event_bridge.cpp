#include "c_picture_event_bridge.h"

#include "event_call.h"

namespace vesk::component_hosting {

void CPictureEventBridge::DataValidated(bool& bValid, std::string& sMsg) {
    EventCall().Arg(bValid).Arg(sMsg).Fire(m_point, 1);
}

void CPictureEventBridge::RecordPosition(std::int32_t& lRecordPosition,
                                         std::int32_t& lTotalRecords) {
    EventCall().Arg(lRecordPosition).Arg(lTotalRecords).Fire(m_point, 2);
}

void CPictureEventBridge::IsFirstRecord(bool& bIsFirstRecord) {
    EventCall().Arg(bIsFirstRecord).Fire(m_point, 3);
}

void CPictureEventBridge::IsLastRecord(bool& bIsLastRecord) {
    EventCall().Arg(bIsLastRecord).Fire(m_point, 4);
}

void CPictureEventBridge::CodeExists(bool& bExists) {
    EventCall().Arg(bExists).Fire(m_point, 5);
}

void CPictureEventBridge::DescriptionExists(bool& bExists) {
    EventCall().Arg(bExists).Fire(m_point, 6);
}

void CPictureEventBridge::RecordExists(bool& bExists) {
    EventCall().Arg(bExists).Fire(m_point, 7);
}

void CPictureEventBridge::TableError(std::string& sTableError) {
    EventCall().Arg(sTableError).Fire(m_point, 8);
}

void CPictureEventBridge::ErrorDescrption(std::string& sErrDescrption) {
    EventCall().Arg(sErrDescrption).Fire(m_point, 9);
}

void CPictureEventBridge::ErrorSavingPhoto(std::string& sErrMsg) {
    EventCall().Arg(sErrMsg).Fire(m_point, 10);
}

void CPictureEventBridge::ConversionProgress(std::string& msg, std::int32_t& Pos,
                                             std::int32_t& TotalRecs) {
    EventCall().Arg(msg).Arg(Pos).Arg(TotalRecs).Fire(m_point, 11);
}

}  // namespace vesk::component_hosting
