#pragma once

#include "qdatastorage.h"

#include <QtGlobal>

#include <memory>
#include <string>

class QChunkControl;
class QMutex;

// The record behind one row of a list or table. Dialogs derive their rows from it; models,
// views and delegates read and write it only through these operations and never own it.
// The check state and the date live in the key-value store, so a derived record that
// overrides the typed store also sees them.
class IBaseChunk : public QDataStorage
{
public:
    explicit IBaseChunk(bool withLock = false);
    IBaseChunk(const IBaseChunk &) = delete;
    IBaseChunk &operator=(const IBaseChunk &) = delete;
    virtual ~IBaseChunk();

    // 0 unchecked, 1 partially checked, 2 checked.
    virtual void SetCheck(int state);
    virtual int GetCheck();
    virtual void SetTitle(std::string title);
    virtual std::string GetTitle();
    virtual void SetID(int id);
    virtual int GetID();
    virtual void SetOwner(void *owner);
    virtual void *GetOwner();
    virtual void setDate(std::string date);
    virtual std::string getDate();
    virtual void setHash(std::string hash);
    virtual std::string getHash();
    virtual void setLocation(std::string location);
    virtual std::string getLocation();
    virtual void setEnable(bool enable);
    virtual bool getEnable();
    virtual void SetFilterId(std::string id);
    virtual std::string GetFilterId();
    virtual void setItemSearchText(std::string text);
    virtual std::string getItemSearchText();
    virtual void setImage(std::string path);
    virtual std::string GetImage();
    virtual void setThumbnailImage(std::string path);
    virtual std::string getThumbnailImage();
    virtual void SetImageLen(int length);
    virtual int GetImageLen();
    virtual void setData(void *data);
    virtual void *getData();
    virtual void setIsDeleted(bool deleted);
    virtual bool isDeleted();
    virtual void setSortValue(double value);
    virtual double getSortValue() const;
    virtual void setControlShow(bool show);
    virtual bool getControlShow();
    virtual void setToolTipText(std::string text);
    virtual std::string getToolTipText();
    virtual void setItemMaskImage(std::string path);
    virtual std::string getItemMakeImage();
    // Clears identifier, owner and title; the store (check state, date) and the rest stay.
    virtual void Reset();
    virtual bool remove();

    // Only for records shared with another thread; nothing here takes the lock itself.
    void Lock();
    void UnLock();
    // Columns 0 to 31 each own one bit; any other column is always enabled.
    void setColumnEnable(int column, bool enable);
    bool getColumnEnable(int column);
    QChunkControl *getChunkControl();

private:
    int m_id = 0;
    void *m_owner = nullptr;
    int m_reserved = 0;
    bool m_enabled = true;
    std::string m_image;
    std::string m_thumbnailImage;
    int m_imageLength = 0;
    std::string m_location;
    std::string m_hash;
    std::string m_title;
    std::string m_filterId;
    std::string m_toolTipText;
    std::string m_itemMaskImage;
    quint32 m_columnEnable = 0xFFFFFFFFu;
    std::unique_ptr<QMutex> m_lock;
    void *m_data = nullptr;
    bool m_deleted = false;
    std::string m_itemSearchText;
    bool m_controlShow = true;
    double m_sortValue = 0.0;
    std::unique_ptr<QChunkControl> m_chunkControl;
};
