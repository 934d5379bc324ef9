// SPDX-License-Identifier: GPL-2.0-or-later
// The main view's menu commands: opening recordings and study texts, the companion
// rule that ties a study text to a recording, and the bookmark menu.

#include "VellumdeckView.h"

#include "CmdUI.h"
#include "DeleteBookmarkDlg.h"
#include "DevicePath.h"
#include "EmbeddedText.h"
#include "FileSystem.h"
#include "MenuBuilder.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "Playlist.h"
#include "SearchDlg.h"
#include "SettingCommand.h"
#include "resource.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

#include <cstdint>
#include <vector>

namespace {

const QString kTextExtension = QStringLiteral("txt");
const QString kBookmarkExtension = QStringLiteral("vdm");
const QString kNoBookmark = QStringLiteral("No bookmark exists.");
const QString kMessageCaption = QStringLiteral("Vellumdeck");
const QString kTextFilter = QStringLiteral("TXT Files (*.txt)");
// The desktop's file dialog matches them ignoring case, as Vellumdeck reads extensions.
const QStringList kOpenFileFilters = {
    QStringLiteral("Recordings and playlists (*.mp3 *.vds *.vdl)"),
    QStringLiteral("MP3 files (*.mp3)"),
    QStringLiteral("Recordings with their text (*.vds)"),
    QStringLiteral("Playlists (*.vdl)"),
};
// Where Text Open starts browsing: the device's own documents.
const QString kTextOpenFolder = QStringLiteral("\\My documents");

}  // namespace

// ---- routing ----

bool CVellumdeckView::OnCmdMsg(int id)
{
    switch (id) {
    case ID_FILE_OPEN:
        OnFileOpen();
        return true;
    case ID_OPEN_FILE:
        OnOpenFile();
        return true;
    case ID_TEXT_OPEN:
        OnTextOpen();
        return true;
    case ID_SET_BOOKMARK:
        OnSetBookmark();
        return true;
    case ID_DEL_BOOKMARK:
        OnDelBookmark();
        return true;
    case ID_SEARCH:
        OnSearch();
        return true;
    case ID_SETTING:
        OnSetting();
        return true;
    default:
        break;
    }
    // Every bookmark item the menu holds reaches its bookmark, however many there are;
    // the fixed range is only the least that is always routed.
    if (id >= ID_BOOKMARK_FIRST && (id <= ID_BOOKMARK_LAST || id < m_nextBookmarkId)) {
        OnGoToBookmark(id);
        return true;
    }
    return OnPracticeCommand(id);
}

bool CVellumdeckView::OnUpdateCmdUI(CCmdUI* cmdUI)
{
    switch (cmdUI->m_nID) {
    case ID_SET_BOOKMARK:
    case ID_DEL_BOOKMARK:
    case ID_SEARCH:
        OnUpdateBookmarkCommands(cmdUI);
        return true;
    default:
        return OnUpdatePracticeCommand(cmdUI);
    }
}

void CVellumdeckView::OnUpdateBookmarkCommands(CCmdUI* cmdUI)
{
    if (m_companionPath.isEmpty())
        cmdUI->Enable(false);
}

// ---- File Open ----

void CVellumdeckView::OnFileOpen()
{
    // The dialog stops what plays (also when it is cancelled), and the loop and
    // repeat-one of that recording go with it, in the panel as in the controller.
    const bool wasOpen = m_controller.IsOpen();
    const std::optional<QString> opened = m_controller.OpenWithDialog();
    if (wasOpen)
        ResetLoopAndRepeat();
    ShowOpened(opened);
}

void CVellumdeckView::ShowOpened(const std::optional<QString>& recording)
{
    if (!recording)
        return;
    LoadStudyTextOf(*recording);
    EnablePanelButtons();
}

void CVellumdeckView::EnablePanelButtons()
{
    m_panelEnabled = true;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (i != BTN_PAUSE && i != BTN_SOUND_OFF && i != BTN_SOUND_ON)
            m_buttons[std::size_t(i)].EnableButton(true);
    }
}

// ---- Open File ----

// Where the learner's recordings are likely to be: beside the one open, else the
// desktop's music folder, else the home folder.
QString CVellumdeckView::OpenFileFolder() const
{
    const QString current = m_controller.GetTitle();
    if (!current.isEmpty()) {
        const QFileInfo recording(DevicePath::ToHost(current));
        if (recording.absoluteDir().exists())
            return recording.absolutePath();
    }
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return QFileInfo(music).isDir() ? music : QDir::homePath();
}

void CVellumdeckView::OnOpenFile()
{
    QFileDialog dialog(this);
    dialog.setNameFilters(kOpenFileFilters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(OpenFileFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenFile(dialog.selectedFiles().constFirst());
}

// ---- Text Open ----

// Shows any text file in the pane; the recording's companion and its bookmarks stay.
void CVellumdeckView::OnTextOpen()
{
    QFileDialog dialog(this);
    dialog.setNameFilter(kTextFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QString start = DevicePath::ToHost(kTextOpenFolder);
    if (FileSystem::Exists(start))
        dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_textPane.LoadTextFile(dialog.selectedFiles().constFirst());
}

// ---- bookmarks ----

// Written to the file only when the companion changes, after Del Bookmark and at
// teardown.
void CVellumdeckView::OnSetBookmark()
{
    const std::optional<BookmarkEntry> entry = m_textPane.CaptureBookmark();
    if (!entry)
        return;
    if (m_bookmarks.Add(*entry))
        AppendBookmarkMenuItem(*entry);
}

void CVellumdeckView::OnDelBookmark()
{
    if (m_bookmarks.GetCount() == 0) {
        MessageBoxW(this, kNoBookmark, kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CDeleteBookmarkDlg dialog(this);
    dialog.SetBookmarkList(&m_bookmarks);
    dialog.DoModal();
    // The list as it stands goes to the bookmark file; no bookmarks, no file.
    m_bookmarkStore.Store(m_bookmarks, BookmarkFileOf(m_companionPath), this);
    RemoveBookmarkMenuItems();
    for (int k = 0; k < m_bookmarks.GetCount(); ++k)
        AppendBookmarkMenuItem(m_bookmarks.GetAt(k));
}

void CVellumdeckView::OnGoToBookmark(int id)
{
    const int index = id - ID_BOOKMARK_FIRST;
    if (index < m_bookmarks.GetCount())
        m_textPane.ScrollToBookmark(m_bookmarks.GetAt(index));
}

// ---- Search and Setting ----

// The same term again searches on from the last match; a new one starts at the top.
void CVellumdeckView::OnSearch()
{
    CSearchDlg dialog(this);
    dialog.m_searchText = m_lastSearch;
    if (dialog.DoModal() != IDOK)
        return;
    const QString text = dialog.m_searchText;
    if (text.isEmpty()) {
        m_lastSearch.clear();
        return;
    }
    const bool isNew = text != m_lastSearch;
    if (isNew)
        m_lastSearch = text;
    m_textPane.FindText(text, isNew);
}

void CVellumdeckView::OnSetting()
{
    RunSettingCommand(this, m_textPane);
}

// ---- study texts and the companion rule ----

QString CVellumdeckView::CompanionOf(const QString& recording)
{
    if (HasStudyTextInside(recording))
        return recording;
    return recording.chopped(std::min<qsizetype>(recording.size(), kTextExtension.size())) + kTextExtension;
}

QString CVellumdeckView::BookmarkFileOf(const QString& companion)
{
    const qsizetype dot = companion.lastIndexOf(QLatin1Char('.'));
    return companion.left(dot + 1) + kBookmarkExtension;
}

void CVellumdeckView::LoadStudyTextOf(const QString& recording)
{
    m_studyTextOf = recording;
    if (HasStudyTextInside(recording)) {
        LoadEmbeddedText(recording);
        return;
    }
    if (!LoadTextFile(CompanionOf(recording)))
        m_textPane.ShowLogo();
}

void CVellumdeckView::FollowStudyTextOf(const QString& recording)
{
    if (recording != m_studyTextOf)
        LoadStudyTextOf(recording);
}

void CVellumdeckView::ReleaseCompanion()
{
    if (m_companionPath.isEmpty())
        return;
    if (m_bookmarks.GetCount() > 0) {
        m_bookmarkStore.Store(m_bookmarks, BookmarkFileOf(m_companionPath), this);
        m_bookmarks.RemoveAll();
        m_companionPath.clear();
        RemoveBookmarkMenuItems();
    }
    m_lastSearch.clear();
}

BOOL CVellumdeckView::LoadTextFile(const QString& path)
{
    ReleaseCompanion();
    m_companionPath = path;
    const BOOL loaded = m_textPane.LoadTextFile(path) != 0;
    AppendLoadedBookmarkItems();
    return loaded;
}

BOOL CVellumdeckView::LoadEmbeddedText(const QString& path)
{
    ReleaseCompanion();
    std::vector<char> text;
    if (!CEmbeddedText::Read(path, &text))
        return false;
    m_companionPath = path;
    m_textPane.LoadTextBuffer(text.data(), std::uint32_t(text.size()));
    AppendLoadedBookmarkItems();
    return true;
}

// ---- the bookmark menu ----

QMenu* CVellumdeckView::BookmarkMenu() const
{
    const auto* frame = qobject_cast<const QMainWindow*>(window());
    if (frame == nullptr)
        return nullptr;
    return GetSubMenu(qobject_cast<const QMenuBar*>(frame->menuWidget()), MENU_BMARK_POPUP_INDEX);
}

void CVellumdeckView::AppendBookmarkMenuItem(const BookmarkEntry& entry)
{
    if (QMenu* menu = BookmarkMenu()) {
        const QString text = QString::asprintf("%d)", m_nextBookmarkId - (ID_BOOKMARK_FIRST - 1)) + entry.Label();
        AppendMenuCommand(menu, text, m_nextBookmarkId, window());
    }
    ++m_nextBookmarkId;
}

void CVellumdeckView::RemoveBookmarkMenuItems()
{
    if (QMenu* menu = BookmarkMenu()) {
        for (int id = ID_BOOKMARK_FIRST; id < m_nextBookmarkId; ++id)
            DeleteMenuCommand(menu, id);
    }
    m_nextBookmarkId = ID_BOOKMARK_FIRST;
}

void CVellumdeckView::AppendLoadedBookmarkItems()
{
    const int count = m_bookmarkStore.Load(m_bookmarks, BookmarkFileOf(m_companionPath));
    for (int k = 0; k < count; ++k)
        AppendBookmarkMenuItem(m_bookmarks.GetAt(k));
}
