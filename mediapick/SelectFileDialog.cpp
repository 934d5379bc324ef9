// SPDX-License-Identifier: GPL-2.0-or-later
#include "SelectFileDialog.h"

#include "DataFolders.h"
#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "ResourceModule.h"
#include "WindowMessage.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <iterator>

namespace {

// The type box, in order, and the filter code of each entry.
struct FileType
{
    QString text;
    unsigned long filter;
};
const FileType kFileTypes[] = {
    {QStringLiteral("MP3 files (*.mp3)"), FILTER_MP3_VDS},
    {QStringLiteral("Playlists (*.vdl)"), FILTER_VDL},
};

const ResourceModule& LibraryModule()
{
    return ResourceModule::Named(QString::fromLatin1(MEDIAPICK_RESOURCE_MODULE));
}

// Whether the template asks the file list to keep its rows in ascending order.
bool TemplateSortsFileList()
{
    const std::optional<DialogTemplate> dialog = LibraryModule().LoadDialog(IDD_SELECT_FILE);
    if (!dialog)
        return true;
    for (const ControlTemplate& control : dialog->controls) {
        if (control.id == IDC_FILE_LIST)
            return (control.styles & ControlStyle::SortAscending) != 0;
    }
    return true;
}

}  // namespace

CSelectFileDialog::CSelectFileDialog(QWidget* parent)
    : QDialog(parent)
{
    DialogBuilder(LibraryModule()).Build(IDD_SELECT_FILE, this);
    m_listSorted = TemplateSortsFileList();
    DoDataExchange();
    ConnectNotifications();
}

CSelectFileDialog::~CSelectFileDialog() = default;

int CSelectFileDialog::DoModal()
{
    OnInitDialog();
    const int result = exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    OnDestroy();
    return result;
}

QString CSelectFileDialog::GetPathName() const
{
    return m_pathName;
}

BOOL CSelectFileDialog::OnInitDialog()
{
    Initialize();
    return 1;   // the focus goes to the first control
}

void CSelectFileDialog::DoDataExchange()
{
    m_fileList = GetDlgItemAs<QTreeWidget>(this, IDC_FILE_LIST);
    m_folderTree = GetDlgItemAs<QTreeWidget>(this, IDC_FOLDER_TREE);
    m_typeBox = GetDlgItemAs<QComboBox>(this, IDC_TYPE_COMBO);
}

void CSelectFileDialog::Initialize()
{
    m_pathName.clear();
    m_currentFolder = DataFolders::kMainFolder;
    m_currentIndex = 0;
    m_firstCardRoot.clear();
    m_secondCardRoot.clear();
    if (!m_fileList || !m_folderTree || !m_typeBox)
        return;

    ClearTree();
    CreateFolderPictures();
    InitlistColtrol();
    QTreeWidgetItem* root = AppendRoot(DataFolders::kMainTreeRoot);
    FinFileTreeCtrl(DataFolders::Wide(DataFolders::kMainFolder + DataFolders::kSeparator), root, kTreeFillFlags);
    FindFileListCtrl(DataFolders::Wide(DataFolders::kMainFolder + DataFolders::kSeparator + DataFolders::kAllEntries),
                     FilterOfType(kMp3TypeIndex));
    ProbeCards();

    m_typeBox->clear();
    for (const FileType& type : kFileTypes)
        m_typeBox->addItem(type.text);
    m_typeBox->setCurrentIndex(kMp3TypeIndex);
    EnableSelectAll();
}

unsigned long CSelectFileDialog::FilterOfType(int typeIndex)
{
    if (typeIndex < 0 || typeIndex >= int(std::size(kFileTypes)))
        return FILTER_MP3_VDS;
    return kFileTypes[typeIndex].filter;
}

// A playlist is written of recordings only: with the playlists listed there is none.
void CSelectFileDialog::EnableSelectAll()
{
    if (auto* selectAll = GetDlgItemAs<QPushButton>(this, IDC_SELECT_ALL))
        selectAll->setEnabled(!m_typeBox || m_typeBox->currentIndex() != kPlaylistTypeIndex);
}

void CSelectFileDialog::OnSelchangeComboType()
{
    RefillFileList();
    EnableSelectAll();
    DoDataExchange();
}

void CSelectFileDialog::OnOK()
{
    DoDataExchange();
    QDialog::accept();
}

void CSelectFileDialog::OnCancel()
{
    QDialog::reject();
}

void CSelectFileDialog::reject()
{
    OnCancel();
}

void CSelectFileDialog::OnDestroy()
{
    // The icon list is the process's; the dialog only lets go of it.
    m_fileIcons = nullptr;
}

void CSelectFileDialog::ConnectNotifications()
{
    if (m_folderTree) {
        connect(m_folderTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickFolderTree(item); });
        connect(m_folderTree, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem* item) { OnDblclkFolderTree(item); });
    }
    // Taps on the list are watched on its viewport, so that a tap below the last row
    // is reported too.
    if (m_fileList)
        m_fileList->viewport()->installEventFilter(this);
    if (m_typeBox)
        connect(m_typeBox, &QComboBox::activated, this, [this] { OnSelchangeComboType(); });
}

bool CSelectFileDialog::OnCommand(int id)
{
    switch (id) {
    case IDC_SELECT: OnPlayMp3(); return true;
    case IDC_UP: OnUp(); return true;
    case IDC_DOWN: OnDown(); return true;
    case IDC_SELECT_ALL: OnCreateList(); return true;
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

bool CSelectFileDialog::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_COMMAND && OnCommand(LOWORD(message->wParam))) {
            message->result = 0;
            return true;
        }
    }
    return QDialog::event(event);
}

bool CSelectFileDialog::eventFilter(QObject* watched, QEvent* event)
{
    const bool onList = m_fileList && watched == m_fileList->viewport();
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (onList && (release || doubleClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            QTreeWidgetItem* item = m_fileList->itemAt(mouse->position().toPoint());
            const int row = item ? m_fileList->indexOfTopLevelItem(item) : -1;
            if (release)
                OnClickFileList(row);
            else
                OnDblclkFileList(row);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSelectFileDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter is the dialog's OK unless it presses the focused button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !qobject_cast<QPushButton*>(focusWidget())) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}
