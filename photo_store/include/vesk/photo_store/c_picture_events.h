#pragma once

#include <cstdint>
#include <string>

namespace vesk::photo_store {

// The notifications of CPicture (its outgoing interface), in dispatch order 1 to 11. Every
// argument is passed by reference and the calls arrive synchronously inside the operation
// that fires them, so a listener may change a value that the operation then uses (CPicture
// says where). The defaults do nothing; a listener overrides what it wants.
class CPictureEvents {
public:
    virtual ~CPictureEvents() = default;

    virtual void DataValidated(bool& /*bValid*/, std::string& /*sMsg*/) {}
    virtual void RecordPosition(std::int32_t& /*lRecordPosition*/,
                                std::int32_t& /*lTotalRecords*/) {}
    virtual void IsFirstRecord(bool& /*bIsFirstRecord*/) {}
    virtual void IsLastRecord(bool& /*bIsLastRecord*/) {}
    virtual void CodeExists(bool& /*bExists*/) {}
    virtual void DescriptionExists(bool& /*bExists*/) {}
    virtual void RecordExists(bool& /*bExists*/) {}
    virtual void TableError(std::string& /*sTableError*/) {}
    virtual void ErrorDescrption(std::string& /*sErrDescrption*/) {}
    virtual void ErrorSavingPhoto(std::string& /*sErrMsg*/) {}
    virtual void ConversionProgress(std::string& /*msg*/, std::int32_t& /*Pos*/,
                                    std::int32_t& /*TotalRecs*/) {}
};

}  // namespace vesk::photo_store
