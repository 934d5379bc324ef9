// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The "Select MP3 File" dialog: a tree of the study-data folders of the device and
// its memory cards, the recordings (".mp3", and ".vds" with their study text inside)
// or, as the second file type, the playlists (".vdl") of the folder last tapped, and
// two ways out: one recording or playlist (Select, or a double tap on a row) or a
// playlist written for the whole list of recordings in its current order (Select
// All). It shows no messages.
//
// Paths are device paths with backslashes. The wide-string parameters are UTF-16.

#include "Win32Defs.h"

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class SystemImageList;

// Members outside the library's interface stay out of its symbol table.
#define MEDIAPICK_LOCAL __attribute__((visibility("hidden")))

class VD_EXPORT CSelectFileDialog : public QDialog
{
public:
    // Flags the tree fill is called with; the fill itself ignores them.
    static constexpr unsigned long kTreeFillFlags = 16;
    // The type box's entries: the recordings, first, then the playlists.
    static constexpr int kMp3TypeIndex = 0;
    static constexpr int kPlaylistTypeIndex = 1;

    explicit CSelectFileDialog(QWidget* parent = nullptr);
    ~CSelectFileDialog() override;

    // Runs the dialog modally: IDOK or IDCANCEL.
    int DoModal();

    // After IDOK the chosen recording or the playlist just written.
    QString GetPathName() const;

    void Initialize();
    void InitlistColtrol();
    // Adds the subfolders of folder (ending with a backslash) below parent, recursively:
    // 1 when the folder yields no entry, 0 after a complete pass.
    unsigned long FinFileTreeCtrl(const char16_t* folder, QTreeWidgetItem* parent, unsigned long flags);
    // Refills the list with the entries the pattern enumerates and the filter admits.
    unsigned long FindFileListCtrl(const char16_t* pattern, unsigned long filter);
    void SetListControl(QString name, QString path, int index);
    int GetSystemImageIndex(QString path);

    // Fills the list from a playlist file, one row per line.
    void OpenListFile(QString path);
    // Deletes the files of base + "VDTemp" (base ends with a backslash), then the
    // folder: 1, or 0 when a file could not be deleted.
    int DeleteTmp(const char16_t* base);
    // The text in the device's code page, zero-terminated, in a new buffer the caller
    // releases with delete[].
    char* U2A(const char16_t* text);

    // Escape and the window's close box: the dialog's Cancel.
    void reject() override;

protected:
    // The text as UTF-16, in storage of the library's that the next call reuses.
    const char16_t* A2U(const char* text);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange();
    // The dialog's own OK and Cancel: end with IDOK or IDCANCEL, path name unchanged.
    virtual void OnOK();
    virtual void OnCancel();

    void OnPlayMp3();
    void OnUp();
    void OnDown();
    void OnCreateList();
    void OnClickFolderTree(QTreeWidgetItem* item);
    void OnDblclkFolderTree(QTreeWidgetItem* item);
    // row is -1 when the tap hit no row.
    void OnClickFileList(int row);
    void OnDblclkFileList(int row);
    void OnSelchangeComboType();
    void OnDestroy();

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MEDIAPICK_LOCAL void ConnectNotifications();
    MEDIAPICK_LOCAL bool OnCommand(int id);
    MEDIAPICK_LOCAL void ClearTree();
    MEDIAPICK_LOCAL void CreateFolderPictures();
    MEDIAPICK_LOCAL QTreeWidgetItem* AppendFolderItem(QTreeWidgetItem* parent, const QString& text);
    MEDIAPICK_LOCAL QTreeWidgetItem* AppendRoot(const QString& text);
    MEDIAPICK_LOCAL void AddCardRoot(QString* cardRoot, const QString& probedRoot, const QString& treeRootText);
    MEDIAPICK_LOCAL void ProbeCards();
    MEDIAPICK_LOCAL QString FolderOfItem(QTreeWidgetItem* item) const;
    MEDIAPICK_LOCAL void RefillFileList();
    // The filter code of a type box entry.
    MEDIAPICK_LOCAL static unsigned long FilterOfType(int typeIndex);
    MEDIAPICK_LOCAL void EnableSelectAll();
    MEDIAPICK_LOCAL int RowCount() const;
    MEDIAPICK_LOCAL QString RowText(int row) const;
    MEDIAPICK_LOCAL int SortedRow(const QString& text) const;
    MEDIAPICK_LOCAL void SetRow(int row, const QString& text);
    MEDIAPICK_LOCAL void MoveCurrentRow(int to);
    MEDIAPICK_LOCAL void ClearRows();
    MEDIAPICK_LOCAL bool WritePlaylist(const QString& playlistPath);

    QString m_firstCardRoot;
    QString m_secondCardRoot;
    QTreeWidget* m_fileList = nullptr;
    QTreeWidget* m_folderTree = nullptr;
    QComboBox* m_typeBox = nullptr;
    std::vector<QIcon> m_folderPictures;
    QString m_currentFolder;
    QString m_pathName;
    SystemImageList* m_fileIcons = nullptr;
    std::int32_t m_currentIndex = 0;
    // Folders being filled, by their real host path: a link back up the tree is shown
    // but not descended into again.
    QStringList m_foldersBeingFilled;
    bool m_listSorted = true;
};
