#include "vesk/photo_store/c_picture.h"

#include <algorithm>
#include <exception>

#include "vesk/data_access/sql_text.h"

namespace vesk::photo_store {

void CPicture::Advise(CPictureEvents* listener) {
    m_listeners.Add(listener);
}

void CPicture::Unadvise(CPictureEvents* listener) {
    m_listeners.Remove(listener);
}

void CPicture::SetPhotoCode(const std::string& code) {
    m_photoCode = code;
    ValidateData();
}

void CPicture::SetPhotoDescription(const std::string& description) {
    m_photoDescription = description;
    ValidateData();
}

// Tells listeners whether code, description and group are all filled in. What a listener
// writes back is not used.
void CPicture::ValidateData() {
    bool valid = !m_photoCode.empty() && !m_photoDescription.empty() && !m_photosGroup.empty();
    std::string message;
    Fire([&](CPictureEvents& listener) {
        bool validArgument = valid;
        listener.DataValidated(validArgument, message);
    });
}

void CPicture::FireTableError(std::string description) {
    Fire([&](CPictureEvents& listener) { listener.TableError(description); });
}

void CPicture::Init(const std::string& strCode, const std::string& strQualifier,
                    const std::string& strQulifierName, data_access::RecordsetPtr rsSource,
                    data_access::ConnectionPtr cnn) {
    try {
        if (!strCode.empty()) {
            m_photoCode = strCode;
        }
        if (!strQualifier.empty()) {
            m_photosGroup = strQualifier;
        }
        if (!strQulifierName.empty()) {
            m_photosOwnerName = strQulifierName;
        }
        OwnerPhoto = Picture();
        if (rsSource) {
            m_rsPhotoDetails = std::move(rsSource);
        } else {
            m_cnnPhotos = std::move(cnn);
            OpenOwnerRows(strCode, strQualifier);
        }
        m_dInitMaxSize = PhotosMaxSize;
        if (m_rsPhotoDetails && m_rsPhotoDetails->RecordCount() > 0) {
            m_rsPhotoDetails->MoveLast();
            m_lTotalRecords = m_rsPhotoDetails->RecordCount();
        }
    } catch (const std::exception& error) {
        FireTableError(error.what());
    }
}

// The owner's rows of the group, as a keyset the instance owns. The new record set replaces
// the old one before it is opened, so that a failed open never leaves another owner's rows
// in place. Values have their quotes doubled: a code like O'Brien selects its own rows.
void CPicture::OpenOwnerRows(const std::string& strCode, const std::string& strQualifier) {
    std::string source = "SELECT * FROM " + TableName + " WHERE " + OwnerIDField + "='" +
                         data_access::EscapeSqlText(strCode) + "' AND " + OwnerGroupField + "='" +
                         data_access::EscapeSqlText(strQualifier) + "' ORDER BY " + OwnerIDField;
    auto rows = std::make_shared<data_access::Recordset>();
    m_rsPhotoDetails = rows;
    rows->SetActiveConnection(m_cnnPhotos);
    rows->SetCursorType(data_access::adOpenKeyset);
    rows->SetLockType(data_access::adLockOptimistic);
    rows->SetSource(source);
    rows->Open();
}

}  // namespace vesk::photo_store
