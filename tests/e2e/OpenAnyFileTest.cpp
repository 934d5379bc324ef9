// SPDX-License-Identifier: GPL-2.0-or-later
// Opening what the learner has where it lies (Music, Downloads, a course's own folders):
// the desktop's file dialog, a file dropped on the window, and the message that names a
// file which cannot be played instead of a silent logo.

#include "ProgramFixture.h"

#include "PlayerMessages.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

namespace {

class OpenAnyFileTest : public ProgramFixture
{
protected:
    // The learner's own folders, outside the study folders of the device.
    QString Downloads() const { return m_root.Path() + QStringLiteral("/home/Downloads/Course \"B1\" #2"); }

    QString Place(const QString& name, const QByteArray& bytes) const
    {
        EXPECT_TRUE(m_root.WriteFile("\\home\\Downloads\\Course \"B1\" #2\\" + QString(name).replace('/', '\\'), bytes));
        return Downloads() + QLatin1Char('/') + name;
    }
    static QByteArray Sample(const QString& name) { return ReadHostFile(QStringLiteral(VD_SAMPLE_DIR "/") + name); }

    // File > Open File..., choosing path in the dialog.
    void OpenFile(const QString& path)
    {
        WhenDialogOpens([path](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            files->selectFile(path);
            QMetaObject::invokeMethod(files, "accept");
        });
        ASSERT_TRUE(ChooseMenu(ID_OPEN_FILE));
    }

    // A file dropped on the middle of the text pane, as a file manager drops it.
    void Drop(const QString& path)
    {
        QWindow* window = Frame().windowHandle();
        ASSERT_NE(window, nullptr);
        const QPoint at = View().TextPane().mapTo(&Frame(), View().TextPane().rect().center());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        ASSERT_TRUE(enter.isAccepted()) << "the window does not take the file";
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        EXPECT_TRUE(drop.isAccepted());
    }

    bool WaitForTitle(const QString& path) const
    {
        return WaitFor([&] { return View().PlayerState() == PLAYER_PLAYING && View().Controller().GetTitle() == path; });
    }
};

}  // namespace

TEST_F(OpenAnyFileTest, DesktopFileDialogAndADropOpenARecordingOrAPlaylistFromAnyFolder)
{
    UseAudio("null:1");
    const QString lesson = Place("Lesson 1 - At the cafe.vds", Sample("Lesson 1 - At the cafe.vds"));
    const QString station = Place("unit 2/station.mp3", Sample("Lesson 2 - At the station.mp3"));
    Place("unit 2/station.txt", Sample("Lesson 2 - At the station.txt"));
    const QString playlist = Place("course.vdl", (station + "\r\n" + lesson + "\r\n").toUtf8());
    Start();

    OpenFile(lesson);
    ASSERT_TRUE(WaitForTitle(lesson));
    EXPECT_TRUE(PaneText().contains(QStringLiteral("A coffee, please.")));
    // A playlist opens as the playlist it is, from its first item on.
    OpenFile(playlist);
    ASSERT_TRUE(WaitForTitle(station));
    EXPECT_EQ(View().Controller().GetPlaylist(), (QStringList{station, lesson}));
    EXPECT_TRUE(PaneText().contains(QStringLiteral("next train to York")));
    // Dropped while another plays, a file takes its place, with its own text.
    Drop(lesson);
    ASSERT_TRUE(WaitForTitle(lesson));
    EXPECT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("A coffee, please.")); }));
    EXPECT_TRUE(Boxes().empty());
}

// What cannot be played is named in a message, and what plays goes on playing.
TEST_F(OpenAnyFileTest, WhatCannotBePlayedIsNamedAndWhatPlaysGoesOn)
{
    UseAudio("null:1");
    const QString lesson = Place("Lesson 1 - At the cafe.vds", Sample("Lesson 1 - At the cafe.vds"));
    const QString empty = Place("empty.mp3", QByteArray());
    const QString notes = Place("notes.txt", "Words to learn.\r\n");
    const QString gone = Downloads() + QStringLiteral("/gone.mp3");
    const QString nothing = Place("nothing.vdl", (gone + "\r\n").toUtf8());
    const QString notFound = QStringLiteral("The file\n%1\ncannot be found.").arg(gone);
    Start({gone});   // named on the command line, while the program sets itself up
    EXPECT_EQ(Told(), QStringList{notFound});
    EXPECT_TRUE(View().Controller().GetPlaylist().isEmpty());
    Drop(lesson);
    ASSERT_TRUE(WaitForTitle(lesson));
    const struct
    {
        std::function<void()> open;
        QString told;
    } cases[] = {
        {[&] { Drop(empty); }, QStringLiteral("The file\n%1\nis empty: there is no recording in it.").arg(empty)},
        {[&] { Drop(notes); },
         QStringLiteral("The file\n%1\nis neither a recording nor a playlist: Vellumdeck plays .mp3 and .vds "
                        "recordings and .vdl playlists.")
             .arg(notes)},
        {[&] { OpenFile(nothing); }, QStringLiteral("The playlist\n%1\nnames no recording that can be found.").arg(nothing)},
        {[&] { Drop(gone); }, notFound},
    };
    for (const auto& unplayable : cases) {
        m_boxes->Clear();
        unplayable.open();
        ASSERT_TRUE(WaitFor([this] { return !Boxes().empty(); })) << unplayable.told.toStdString();
        EXPECT_EQ(Told(), QStringList{unplayable.told});
        EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Vellumdeck"));
        EXPECT_EQ(Boxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(View().Controller().GetPlaylist(), QStringList{lesson});
        EXPECT_EQ(View().PlayerState(), PLAYER_PLAYING);
    }
}
