#include "ibasechunk.h"

#include "qchunkcontrol.h"

#include <QMutex>

#include <utility>

namespace {

const char *const CheckKey = "Item_check_key";
const char *const DateKey = "CHUNK_DATE_KEY";
const int ColumnBits = 32;

bool isMaskColumn(int column)
{
    return column >= 0 && column < ColumnBits;
}

} // namespace

IBaseChunk::IBaseChunk(bool withLock)
{
    if (withLock)
        m_lock = std::make_unique<QMutex>();
    // Every record holds a check state from the start.
    IBaseChunk::SetCheck(0);
}

IBaseChunk::~IBaseChunk() = default;

void IBaseChunk::SetCheck(int state)
{
    setIntValue(CheckKey, state);
}

int IBaseChunk::GetCheck()
{
    return getIntValue(CheckKey);
}

void IBaseChunk::SetTitle(std::string title)
{
    m_title = std::move(title);
}

std::string IBaseChunk::GetTitle()
{
    return m_title;
}

void IBaseChunk::SetID(int id)
{
    m_id = id;
}

int IBaseChunk::GetID()
{
    return m_id;
}

void IBaseChunk::SetOwner(void *owner)
{
    m_owner = owner;
}

void *IBaseChunk::GetOwner()
{
    return m_owner;
}

void IBaseChunk::setDate(std::string date)
{
    setStringValue(DateKey, std::move(date));
}

std::string IBaseChunk::getDate()
{
    return getStringValue(DateKey);
}

void IBaseChunk::setHash(std::string hash)
{
    m_hash = std::move(hash);
}

std::string IBaseChunk::getHash()
{
    return m_hash;
}

void IBaseChunk::setLocation(std::string location)
{
    m_location = std::move(location);
}

std::string IBaseChunk::getLocation()
{
    return m_location;
}

void IBaseChunk::setEnable(bool enable)
{
    m_enabled = enable;
}

bool IBaseChunk::getEnable()
{
    return m_enabled;
}

void IBaseChunk::SetFilterId(std::string id)
{
    m_filterId = std::move(id);
}

std::string IBaseChunk::GetFilterId()
{
    return m_filterId;
}

void IBaseChunk::setItemSearchText(std::string text)
{
    m_itemSearchText = std::move(text);
}

std::string IBaseChunk::getItemSearchText()
{
    return m_itemSearchText;
}

void IBaseChunk::setImage(std::string path)
{
    m_image = std::move(path);
}

std::string IBaseChunk::GetImage()
{
    return m_image;
}

void IBaseChunk::setThumbnailImage(std::string path)
{
    m_thumbnailImage = std::move(path);
}

std::string IBaseChunk::getThumbnailImage()
{
    return m_thumbnailImage;
}

void IBaseChunk::SetImageLen(int length)
{
    m_imageLength = length;
}

int IBaseChunk::GetImageLen()
{
    return m_imageLength;
}

void IBaseChunk::setData(void *data)
{
    m_data = data;
}

void *IBaseChunk::getData()
{
    return m_data;
}

void IBaseChunk::setIsDeleted(bool deleted)
{
    m_deleted = deleted;
}

bool IBaseChunk::isDeleted()
{
    return m_deleted;
}

void IBaseChunk::setSortValue(double value)
{
    m_sortValue = value;
}

double IBaseChunk::getSortValue() const
{
    return m_sortValue;
}

void IBaseChunk::setControlShow(bool show)
{
    m_controlShow = show;
}

bool IBaseChunk::getControlShow()
{
    return m_controlShow;
}

void IBaseChunk::setToolTipText(std::string text)
{
    m_toolTipText = std::move(text);
}

std::string IBaseChunk::getToolTipText()
{
    return m_toolTipText;
}

void IBaseChunk::setItemMaskImage(std::string path)
{
    m_itemMaskImage = std::move(path);
}

std::string IBaseChunk::getItemMakeImage()
{
    return m_itemMaskImage;
}

void IBaseChunk::Reset()
{
    m_id = 0;
    m_owner = nullptr;
    m_reserved = 0;
    m_title.clear();
}

bool IBaseChunk::remove()
{
    return true;
}

void IBaseChunk::Lock()
{
    if (m_lock)
        m_lock->lock();
}

void IBaseChunk::UnLock()
{
    if (m_lock)
        m_lock->unlock();
}

// A negative column is treated like one past the mask: shifting by it would be undefined.
void IBaseChunk::setColumnEnable(int column, bool enable)
{
    if (!isMaskColumn(column))
        return;
    const quint32 bit = 1u << column;
    m_columnEnable = enable ? (m_columnEnable | bit) : (m_columnEnable & ~bit);
}

bool IBaseChunk::getColumnEnable(int column)
{
    if (!isMaskColumn(column))
        return true;
    return (m_columnEnable >> column) & 1u;
}

QChunkControl *IBaseChunk::getChunkControl()
{
    if (!m_chunkControl)
        m_chunkControl = std::make_unique<QChunkControl>();
    return m_chunkControl.get();
}
