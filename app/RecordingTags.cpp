// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecordingTags.h"

#include "DevicePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

namespace {

const QString kProgramName = QStringLiteral("Vellumdeck");
const QString kSeparator = QStringLiteral(" \u2013 ");
// A picture larger than this is no cover worth showing (and a sign of a broken tag).
constexpr unsigned kLargestCover = 16u * 1024 * 1024;

QString Text(const TagLib::String& text)
{
    return QString::fromStdWString(text.toWString()).trimmed();
}

}  // namespace

const RecordingTagInfo& CRecordingTags::For(const QString& path)
{
    const QString host = DevicePath::ToHost(path);
    const QFileInfo info(host);
    if (path == m_path && info.lastModified() == m_modified && info.size() == m_size)
        return m_tags;
    m_path = path;
    m_modified = info.lastModified();
    m_size = info.size();
    m_tags = info.isFile() ? Read(host) : RecordingTagInfo();
    return m_tags;
}

// Only the tags are read: no audio properties, so a long recording costs no more
// than a short one.
RecordingTagInfo CRecordingTags::Read(const QString& hostPath)
{
    RecordingTagInfo tags;
    const QByteArray name = QFile::encodeName(hostPath);
    TagLib::MPEG::File file(name.constData(), false);
    if (!file.isValid())
        return tags;
    if (const TagLib::Tag* tag = file.tag()) {
        tags.title = Text(tag->title());
        tags.artist = Text(tag->artist());
        tags.album = Text(tag->album());
    }
    if (TagLib::ID3v2::Tag* id3 = file.ID3v2Tag()) {
        const TagLib::ID3v2::FrameList pictures = id3->frameListMap()["APIC"];
        const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
        for (const TagLib::ID3v2::Frame* frame : pictures) {
            const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
            if (picture == nullptr || picture->picture().isEmpty() || picture->picture().size() > kLargestCover)
                continue;
            if (chosen == nullptr || picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
                chosen = picture;
        }
        if (chosen != nullptr) {
            tags.coverFile = SaveCover(hostPath, chosen->picture(), Text(chosen->mimeType()));
        }
    }
    return tags;
}

// Named after the recording, its size and its time, so that a recording whose cover
// changes gets the new one, and a cover already written costs only a look.
QString CRecordingTags::SaveCover(const QString& hostPath, const TagLib::ByteVector& bytes, const QString& mimeType)
{
    const QFileInfo recording(hostPath);
    const QByteArray key = QFile::encodeName(recording.absoluteFilePath()) + '\0' +
                           QByteArray::number(recording.size()) + '\0' +
                           QByteArray::number(recording.lastModified().toMSecsSinceEpoch());
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/') + QLatin1String(kCoverFolder);
    const QString extension = mimeType.contains(QLatin1String("png"), Qt::CaseInsensitive) ? QStringLiteral("png")
                                                                                              : QStringLiteral("jpg");
    const QString file = folder + QLatin1Char('/') +
                         QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
                         QLatin1Char('.') + extension;
    if (QFileInfo::exists(file))
        return file;
    const QByteArray picture(bytes.data(), int(bytes.size()));
    QSaveFile out(file);
    if (!QDir().mkpath(folder) || !out.open(QIODevice::WriteOnly) || out.write(picture) != picture.size() ||
        !out.commit())
        return QString();   // no cover shown is better than a broken one
    return file;
}

QString CRecordingTags::WindowTitle(const QString& path, const RecordingTagInfo& tags)
{
    if (path.isEmpty())
        return kProgramName;
    QStringList parts;
    if (tags.title.isEmpty()) {
        const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        parts << path.mid(separator + 1);
    } else {
        parts << tags.title;
    }
    if (!tags.artist.isEmpty())
        parts << tags.artist;
    parts << kProgramName;
    return parts.join(kSeparator);
}
