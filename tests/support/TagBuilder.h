// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Tags as recordings carry them, made on the spot: ID3v2 (2.2 to 2.4, with a footer if
// asked), APEv2 and ID3v1, and the bytes of a cover picture.

#include <QByteArray>

#include <cstdint>

namespace TagBuilder {

QByteArray Syncsafe(std::uint32_t n);
// One ID3v2 frame of that id (three characters in 2.2) and body.
QByteArray Id3v2Frame(int version, const QByteArray& id, const QByteArray& body);
// A whole tag around frames (made with Id3v2Frame for the same version).
QByteArray Id3v2Tag(int version, const QByteArray& frames, bool footer = false);
// A text frame's body: encoding byte (0, Latin-1) and the text.
QByteArray TextBody(const QByteArray& text);
// An attached picture frame's body: Latin-1, the MIME type, a front cover.
QByteArray PictureBody(const QByteArray& mimeType, const QByteArray& picture);
QByteArray ApeTag();
QByteArray Id3v1Tag(const QByteArray& title);
// What a compressed picture looks like to a frame scanner: noise, with here and there
// a pair of MPEG-2 frame headers (16 kHz, 8 kbit/s, mono) exactly one frame apart.
QByteArray Picture(std::uint32_t size);

}  // namespace TagBuilder
