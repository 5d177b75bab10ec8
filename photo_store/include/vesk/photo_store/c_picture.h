#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/variant.h"
#include "vesk/events/listeners.h"
#include "vesk/photo_store/c_picture_events.h"
#include "vesk/photo_store/image_control.h"
#include "vesk/picture/picture.h"

namespace vesk::data_access {
class Transaction;
}

namespace vesk::photo_store {

class PhotoFileWrite;
using picture::Picture;

// The photo store: keeps the photos of one owner record (an employee, say) in a photo table of
// the host's database, the picture either in a binary column or in a file of a photo folder.
// The host configures it through properties, binds it to an owner's rows with Init, and hears
// from it through CPictureEvents. No operation shows a message; failures are reported through
// TableError and ErrorDescrption or returned as the call's error, as each operation says.
// Every member starts at zero, false, the empty text or no object.
class CPicture {
public:
    CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // Listeners of the notifications, called in the order they were added. Not owned.
    void Advise(CPictureEvents* listener);
    void Unadvise(CPictureEvents* listener);

    // The public data members: plain properties that the host reads and writes directly.
    double PhotosMaxSize = 0;  // largest photo in KB of its bitmap form; 0 = no limit
    bool SaveAsFile = false;   // false: picture in OwnerPhotoField; true: in PhotosFolder
    std::string PhotosFolder;  // folder of the photo files; empty = the default folder
    std::string TableName;     // the photo table
    std::string OwnerIDField;  // column names; an empty name means no such column
    std::string OwnerDescField;
    std::string OwnerGroupField;
    std::string OwnerCommentsField;
    std::string OwnerDefaultPhotoField;
    std::string OwnerPhotoField;
    double BackColor = 0;  // background colour for the editor dialog; only kept
    Picture OwnerPhoto;    // the current record's picture; empty (handle 0) when none
    data_access::RecordsetPtr m_rsPhotoDetails;  // the open rows of the owner

    // OwnerPhoto under the name the editor uses.
    const Picture& Photo() const { return OwnerPhoto; }
    void SetPhoto(const Picture& picture) { OwnerPhoto = picture; }

    // The current record's code and description; setting either fires DataValidated.
    const std::string& PhotoCode() const { return m_photoCode; }
    void SetPhotoCode(const std::string& code);
    const std::string& PhotoDescription() const { return m_photoDescription; }
    void SetPhotoDescription(const std::string& description);
    const std::string& PhotosGroup() const { return m_photosGroup; }
    void SetPhotosGroup(const std::string& group) { m_photosGroup = group; }
    const std::string& PhotosOwnerName() const { return m_photosOwnerName; }
    void SetPhotosOwnerName(const std::string& name) { m_photosOwnerName = name; }
    const std::string& PhotoComments() const { return m_photoComments; }
    void SetPhotoComments(const std::string& comments) { m_photoComments = comments; }
    bool DefaultPhoto() const { return m_defaultPhoto; }
    void SetDefaultPhoto(bool isDefault) { m_defaultPhoto = isDefault; }
    bool RecordBOF() const { return m_recordBOF; }
    void SetRecordBOF(bool value) { m_recordBOF = value; }
    bool RecordEOF() const { return m_recordEOF; }
    void SetRecordEOF(bool value) { m_recordEOF = value; }
    std::int32_t MaxCodeLength() const { return m_maxCodeLength; }
    void SetMaxCodeLength(std::int32_t length) { m_maxCodeLength = length; }
    std::int32_t MaxDescriptionLength() const { return m_maxDescriptionLength; }
    void SetMaxDescriptionLength(std::int32_t length) { m_maxDescriptionLength = length; }
    std::int32_t MaxQualifierLength() const { return m_maxQualifierLength; }
    void SetMaxQualifierLength(std::int32_t length) { m_maxQualifierLength = length; }
    std::int32_t MaxCommentsLength() const { return m_maxCommentsLength; }
    void SetMaxCommentsLength(std::int32_t length) { m_maxCommentsLength = length; }

    // The connection Init was given (possibly none).
    const data_access::ConnectionPtr& DBConnection() const { return m_cnnPhotos; }

    // Position counters as told to listeners; set by Init and the navigation calls.
    std::int32_t RecordPositionCounter() const { return m_lRecordPosition; }
    std::int32_t TotalRecordsCounter() const { return m_lTotalRecords; }

    // Binds the instance to the rows of owner `strCode` in group `strQualifier` (or to the
    // caller's `rsSource`) and clears the current picture. A failing step fires TableError with
    // its description and skips the rest; the call itself never fails.
    void Init(const std::string& strCode, const std::string& strQualifier,
              const std::string& strQulifierName = {}, data_access::RecordsetPtr rsSource = nullptr,
              data_access::ConnectionPtr cnn = nullptr);

    // Copies the row under the cursor into the members and loads its picture (from the
    // picture column, or in file storage from its photo file). An owner without rows first
    // gets one; `bDefaultPhoto` (unless `bConverting`) first seeks the first default row. A
    // failing step fires ErrorDescrption and the next step runs.
    void LoadData(bool bDefaultPhoto = false, bool bConverting = false);
    // Move to the first / last row and load it, telling listeners the position. Nothing
    // happens without rows. Failures of the move are the call's error.
    void FirstRecord();
    void LastRecord();
    // Move one row on / back and load it, staying on the last / first row at the end. A
    // failure fires ErrorDescrption and ends the call.
    void NextRecord();
    void PreviousRecord();
    // Finds the first row by code, by description or by both (ignoring letter case), loads it
    // and fires RecordExists once. A failure fires ErrorDescrption and ends the call.
    void SearchForRecord(std::string sCode = {}, const std::string& sDescription = {});

    // Writes the members as a new row, or with `bNewRecord` false in place of the current
    // row (the old row goes only together with the new one being stored). Then, unless
    // `bConverting`, requeries, and for a new row moves to and loads it. A failing step fires
    // ErrorDescrption and the next step runs.
    void SavePhotoDetails(bool bNewRecord = false, bool bConverting = false);
    // Deletes the current row (and in file storage its photo files, unless another row maps to
    // the same name) and stands on the last row. A failure fires ErrorDescrption and ends the
    // call.
    void DeleteRecord();
    // Deletes the rows of the owner code in the group named by PhotosOwnerName, by a
    // statement on the connection. Failures are ignored.
    void DeletePhotos();
    // Clears the default mark on every row of `strCode` in the current group. Failures are the
    // call's error. `strDescription` is not used.
    void UnSetDefaultPhoto(const std::string& strCode, const std::string& strDescription);
    // Fire CodeExists / DescriptionExists with whether the owner's rows hold the value
    // (ignoring letter case); nothing without rows opened. A failure fires ErrorDescrption.
    void CheckIfCodeExists(std::string vData);
    void CheckIfDescriptionExists(const std::string& vData);
    // Writes the pictures of a table of the older layout (columns "PhotoCode" and
    // "QualifierPhoto") in group `sQualifier` to files named by their codes in `sFolderPath`,
    // then deletes the rows whose file was written. No file is replaced: a row whose trimmed
    // code is blank or names a file that exists already keeps its row. Failures are ignored.
    void ExtractToFiles(std::string sTableName, std::string sQualifier,
                        const std::string& sFolderPath);

    // Moves every photo of the table from its picture column to its photo file (SaveAsFile
    // must be set). The binary copy of a row goes only once its file is written; a row whose
    // file cannot be written keeps it and is reported. Fires ConversionProgress per row.
    // Returns false (changing nothing more) when SaveAsFile is off or a step outside the rows
    // fails. Afterwards the instance's rows are the whole table, standing at its end.
    bool ConvertAllToFiles(data_access::ConnectionPtr cnn = nullptr);
    // Moves every photo of the table from its photo file into its picture column (SaveAsFile
    // must be off), byte for byte, then deletes the files that were stored; other files stay.
    // A row without a photo file is reported and left as it was. Same result and state rules.
    bool ConvertAllToBlobs(data_access::ConnectionPtr cnn = nullptr);

    // Opens the rows of owner `OwnerID` in `PhotosGroup` over `cnn`, shows the editor dialog
    // modally over them and returns the picture current when the user closed it (empty when
    // none). Makes the Qt widget application when the host runs none; fails when there is no
    // display or the host runs a non-widget Qt application. Failures of its own steps are the
    // call's error.
    // Defined with the dialog (libVeskPhoto.so, or the vesk_photo_editor library).
    Picture EditPhoto(const std::string& PhotosGroup, const std::string& OwnerID,
                      const std::string& OwnerDescription, data_access::ConnectionPtr cnn);
    // Opens the rows of owner `OwnerID` in `PhotosGroup` over `cnn` and returns the picture of
    // its default photo (or of its first photo; an empty picture when it has none).
    Picture GetPhoto(const std::string& PhotosGroup, const std::string& OwnerID,
                     data_access::ConnectionPtr cnn);

    // A path in the system's temporary folder, prefix "Pix", naming no existing file; the
    // empty text when none can be made.
    std::string GetTempPixName();
    // The size of `Picx` saved as a file: "N.NN KB"; `dSize`, when given, receives the bytes.
    // A picture that cannot be saved measures 0. Lets the host process its events once.
    std::string CheckPicDiskSize(const Picture& Picx, double* dSize = nullptr);
    // The size in kilobytes as a plain number ("12.35", "100"); `bSizeOver`, when given, is
    // set when a limit was in force at Init and the size exceeds PhotosMaxSize. Throws when
    // the picture cannot be measured or the limit in force is negative or not a number.
    std::string VerifyPhotoSize(const Picture& Picx, bool* bSizeOver = nullptr);
    // Fits the picture shown in `imgCtrl` into MaxWidth x MaxHeight less a margin of 50,
    // keeping its proportions, and centres it.
    void ResizePhoto(ImageControl& imgCtrl, double MaxWidth, double MaxHeight);

private:
    template <typename Deliver>
    void Fire(Deliver&& deliver) {
        m_listeners.Fire(std::forward<Deliver>(deliver));
    }

    void ValidateData();
    void FireTableError(std::string description);
    void FireErrorDescrption(std::string description);
    // Runs one step of an operation whose failing steps are reported and skipped; returns
    // whether it succeeded.
    template <typename Step>
    bool ReportedStep(Step&& step) {
        try {
            step();
            return true;
        } catch (const std::exception& error) {
            FireErrorDescrption(error.what());
            return false;
        }
    }
    data_access::Recordset& PhotoRows() const;
    void OpenOwnerRows(const std::string& strCode, const std::string& strQualifier);

    // Loading and navigating.
    void SeekDefaultPhoto();
    void CopyRowToMembers();
    data_access::Bytes ReadPictureColumn();
    void LoadPicture(bool converting);
    void FireRecordPosition(std::int32_t& position, std::int32_t& total);
    bool FireIsFirstRecord();
    bool FireIsLastRecord();
    void FireExists(void (CPictureEvents::*event)(bool&), bool exists);
    bool ExistsUnderFilter(const std::string& column, const std::string& value);
    void ReturnToRow(const data_access::Variant& bookmark);

    // Saving.
    data_access::Variant CurrentBookmark() const;
    bool FinishChange(data_access::Transaction& change, bool complete,
                      const std::shared_ptr<PhotoFileWrite>& fileWrite);
    void StandOnSavedRow(const data_access::Variant& bookmark, bool loadNewRow);
    std::int32_t PositionOf(const data_access::Variant& bookmark);
    void SetNewRowColumns();
    bool StorePictureInColumn();
    bool StorePictureInFile(PhotoFileWrite& fileWrite);
    void WritePictureColumn(const data_access::Bytes& bytes);
    std::optional<data_access::Variant> StoreRow();
    void DropNewRow();

    // The length of the picture's file form; 0 for the empty picture. Throws when it has none.
    static std::int64_t FileFormSize(const Picture& Picx);

    // Conversion.
    std::int32_t OpenWholeTable(const data_access::ConnectionPtr& cnn);
    void FireConversionProgress(const std::string& message, std::int32_t position,
                                std::int32_t total);
    std::string StoreFileInColumn();
    bool ClearCopyOfCurrentRow();
    void CommitClearedRows(std::optional<data_access::Transaction>& clearing,
                           std::vector<std::string>& files);

    // Photo files.
    void NormalisePhotosFolder();
    std::string PhotoFilePath(const std::string& code, const std::string& description,
                              const std::string& group) const;
    bool SavePhotoToFile(const Picture& picture, const std::string& code,
                         const std::string& description, const std::string& group,
                         std::string* failure = nullptr, bool clearCopy = true);
    bool LoadPhotoFromFile(Picture& picture, const std::string& code,
                           const std::string& description, const std::string& group);
    void DeletePhotoFiles(const std::string& code, const std::string& description,
                          const std::string& group);
    bool ExtractRowToFile(data_access::Recordset& rows, const std::string& sFolderPath);

    // Photo file owners.
    struct PhotoRowName {
        std::string code;
        std::string description;
        std::string group;
    };
    // The rows of the photo table whose photo file name is that of (code, description, group).
    // Throws when the table cannot be read.
    std::vector<PhotoRowName> RowsNamingFile(const std::string& code,
                                             const std::string& description,
                                             const std::string& group) const;
    // Throws FileError naming the other row when a row besides the one being written (which
    // is already in the table) maps to the same photo file name.
    void RequireOwnFileName(const std::string& code, const std::string& description,
                            const std::string& group) const;
    // Normalises and creates the photo folder and removes temporaries a stopped write left.
    void PreparePhotoFolder();

    // The picture SavePhotoDetails has just stored, so that loading the new row takes it
    // instead of reading back and decoding the bytes it has just written.
    struct StoredPicture {
        data_access::Variant bookmark;  // table storage: the new row
        std::int64_t size = 0;          // table storage: the bytes in its picture column
        std::string file;               // file storage: the photo file
        Picture picture;
    };

    bool TakeJustStored(Picture& picture, const std::string& file);

    events::Listeners<CPictureEvents> m_listeners;
    std::optional<StoredPicture> m_justStored;
    bool m_copyWrittenToFile = false;  // the last load wrote the column's picture to its file

    std::string m_photoCode;
    std::string m_photoDescription;
    std::string m_photosGroup;
    std::string m_photosOwnerName;
    std::string m_photoComments;
    bool m_defaultPhoto = false;
    data_access::ConnectionPtr m_cnnPhotos;
    std::int32_t m_lRecordPosition = 0;
    std::int32_t m_lTotalRecords = 0;
    bool m_recordEOF = false;
    bool m_recordBOF = false;
    std::int32_t m_maxCodeLength = 0;
    std::int32_t m_maxDescriptionLength = 0;
    std::int32_t m_maxQualifierLength = 0;
    std::int32_t m_maxCommentsLength = 0;
    double m_dInitMaxSize = 0;
    std::string m_sTempFile;
    data_access::Variant m_vBookmark;
};

}  // namespace vesk::photo_store
