// Opening what the learner has where it lies (Music, Downloads, a course's own folders):
// the desktop's file dialog, a file dropped on the window, and the message that names a
// file which cannot be played instead of a silent logo.

#include "ProgramFixture.h"

#include "PlayerMessages.h"

#include <QDir>
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
        const QString path = Downloads() + QLatin1Char('/') + name;
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
        return path;
    }
    static QByteArray Sample(const QString& name) { return ReadHostFile(QStringLiteral(VD_SAMPLE_DIR "/") + name); }

    // File > Open File..., choosing path in the dialog.
    void OpenFile(const QString& path)
    {
        QStringList filters;
        WhenDialogOpens([path, &filters](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(files, nullptr);
            filters = files->nameFilters();
            files->selectFile(path);
            QMetaObject::invokeMethod(files, "accept");
        });
        ASSERT_TRUE(ChooseMenu(ID_OPEN_FILE));
        EXPECT_FALSE(filters.isEmpty());
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

TEST_F(OpenAnyFileTest, DesktopFileDialogOpensARecordingOrAPlaylistFromAnyFolder)
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
    EXPECT_TRUE(IsMenuItemEnabled(ID_SET_BOOKMARK));

    // A playlist opens as the playlist it is, from its first item on.
    OpenFile(playlist);
    ASSERT_TRUE(WaitForTitle(station));
    EXPECT_EQ(View().Controller().GetPlaylist(), (QStringList{station, lesson}));
    EXPECT_TRUE(PaneText().contains(QStringLiteral("next train to York")));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(OpenAnyFileTest, FileDroppedOnTheWindowOpensAndPlays)
{
    UseAudio("null:1");
    const QString lesson = Place("Lesson 1 - At the cafe.vds", Sample("Lesson 1 - At the cafe.vds"));
    const QString station = Place("station.mp3", Sample("Lesson 2 - At the station.mp3"));
    Place("station.txt", Sample("Lesson 2 - At the station.txt"));
    Start();
    Drop(lesson);
    ASSERT_TRUE(WaitForTitle(lesson));
    EXPECT_TRUE(PaneText().contains(QStringLiteral("A coffee, please.")));
    // Dropped while the first plays, the second takes its place, with its own text.
    Drop(station);
    ASSERT_TRUE(WaitForTitle(station));
    EXPECT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("next train to York")); }));
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

    // Named on the command line.
    Start({gone});
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, QStringLiteral("The file\n%1\ncannot be found.").arg(gone));
    EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Vellumdeck"));
    EXPECT_EQ(Boxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
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
        {[&] { Drop(gone); }, QStringLiteral("The file\n%1\ncannot be found.").arg(gone)},
    };
    for (const auto& unplayable : cases) {
        m_boxes->Clear();
        unplayable.open();
        ASSERT_TRUE(WaitFor([this] { return !Boxes().empty(); })) << unplayable.told.toStdString();
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, unplayable.told);
        EXPECT_EQ(View().Controller().GetTitle(), lesson);
        EXPECT_EQ(View().Controller().GetPlaylist(), QStringList{lesson});
        EXPECT_EQ(View().PlayerState(), PLAYER_PLAYING);
    }
}
