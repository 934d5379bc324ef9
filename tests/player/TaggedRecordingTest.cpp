// SPDX-License-Identifier: GPL-2.0-or-later
// Recordings as courses and podcasts ship them: tags in front (a cover picture of
// two megabytes whose bytes hold false frame syncs, ID3v2.4 with a footer, an
// updated tag in front of an old one) and behind (APEv2, ID3v1), and junk before the
// audio with syncs that lead nowhere. Each plays at its true rate and length and
// gives the very samples of the untagged recording.

#include "AudioExtent.h"
#include "DecoderTestSupport.h"
#include "TagBuilder.h"
#include "TempDeviceRoot.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtEndian>

#include <gtest/gtest.h>


namespace {

using namespace TagBuilder;

QByteArray TitleTag(int version, bool footer)
{
    return Id3v2Tag(version, Id3v2Frame(version, version == 2 ? "TT2" : "TIT2", TextBody("At the market")), footer);
}

class TaggedRecordingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_plain = ReadTestData("speech22.mp3");
        m_reference = DecodeFile(TestDataPath("speech22.mp3"));
        ASSERT_EQ(m_reference.sampleRate, 22050);
        ASSERT_EQ(m_reference.channels, 1);
    }

    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString device = QStringLiteral("\\%1").arg(QLatin1String(name));
        EXPECT_TRUE(m_root.WriteFile(device, bytes));
        return m_root.Host(device);
    }

    AudioExtent Measure(const QString& path, bool withText = false)
    {
        File file;
        EXPECT_TRUE(file.Open(path, File::Access::Read, File::Disposition::OpenExisting));
        return CAudioExtent::Measure(file, std::uint32_t(file.Size()), withText);
    }

    void ExpectPlaysAsThePlainRecording(const QString& path)
    {
        const DecodedPcm pcm = DecodeFile(path);
        ASSERT_TRUE(pcm.ok);
        EXPECT_EQ(pcm.sampleRate, 22050);
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_NEAR(pcm.durationSeconds, double(m_reference.Frames()) / 22050, 1.0);
        EXPECT_TRUE(pcm.samples == m_reference.samples)
            << pcm.Frames() << " sample frames against " << m_reference.Frames();
    }

    TempDeviceRoot m_root;
    ScopedBoxes m_boxes;
    QByteArray m_plain;
    DecodedPcm m_reference;
};

TEST_F(TaggedRecordingTest, TagsAroundTheAudioAreNeitherHeardNorCounted)
{
    struct Case
    {
        const char* name;
        QByteArray before;
        QByteArray after;
    };
    const QByteArray cover = Id3v2Tag(3, Id3v2Frame(3, "APIC", PictureBody("image/jpeg", Picture(2 << 20))));
    // A ".vds": the study text and its length behind the audio (and behind its tags).
    const QByteArray text = QByteArray("Lesson three. At the market.\r\n").repeated(2000);
    QByteArray trailer = text + QByteArray(4, '\0');
    qToLittleEndian(quint32(text.size()), trailer.data() + text.size());
    const Case cases[] = {
        {"lesson.vds", {}, trailer},
        {"tagged.VDS", TitleTag(3, false), Id3v1Tag("At the market") + trailer},
        {"cover.mp3", cover, {}},
        {"v24-footer.mp3", TitleTag(4, true), {}},
        {"v22-then-v23.mp3", TitleTag(2, false) + TitleTag(3, false), {}},
        {"ape-id3v1.mp3", {}, ApeTag() + Id3v1Tag("At the market")},
        {"appended-v24.mp3", {}, TitleTag(4, true)},
        {"all-at-once.mp3", cover + TitleTag(4, true), ApeTag() + Id3v1Tag("At the market")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = Write(c.name, c.before + m_plain + c.after);
        ExpectPlaysAsThePlainRecording(path);
        const AudioExtent extent = Measure(path, QString(c.name).endsWith(".vds", Qt::CaseInsensitive));
        EXPECT_EQ(extent.start, std::uint32_t(c.before.size()));
        EXPECT_EQ(extent.Size(), std::uint32_t(m_plain.size()));
    }
    EXPECT_TRUE(m_boxes.boxes->Records().empty());
}

// Without a tag to skip, a header counts only when its next frame follows and shares
// its version, layer and rate: here junk holds two frames of silence that libmad
// decodes (16 kHz mono, 36 bytes each, all zeros after the header), the second
// followed by the sync of another kind of stream.
TEST_F(TaggedRecordingTest, JunkBeforeTheAudioWithSyncsThatLeadNowhereIsPassedOver)
{
    QByteArray junk = Picture(3000);
    const QByteArray silentFrame = QByteArray("\xFF\xF3\x18\xC4", 4) + QByteArray(32, '\0');
    junk.replace(100, 72, silentFrame + silentFrame);
    junk.replace(172, 4, QByteArray("\xFF\xFB\x90\x64", 4));   // 44.1 kHz stereo
    ExpectPlaysAsThePlainRecording(Write("junk.mp3", junk + m_plain));
}

// A tag that claims more than the file holds is no tag: the audio is looked for from
// the start, and found.
TEST_F(TaggedRecordingTest, TagClaimingMoreThanTheFileIsNotTakenForOne)
{
    const QByteArray broken = QByteArray("ID3\x03\x00\x00", 6) + Syncsafe(0x0FFFFFFF);
    const QString path = Write("broken.mp3", broken + m_plain + QByteArray("APETAGEX") + QByteArray(24, '\xFF'));
    const AudioExtent extent = Measure(path);
    EXPECT_EQ(extent.start, 0u);
    EXPECT_EQ(extent.end, std::uint32_t(QFileInfo(path).size()));
    const DecodedPcm pcm = DecodeFile(path);
    EXPECT_EQ(pcm.sampleRate, 22050);
    EXPECT_NEAR(double(pcm.Frames()), double(m_reference.Frames()), 576.0 * 2);
}

}  // namespace
