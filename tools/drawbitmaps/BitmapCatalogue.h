// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Every bitmap the program and mediapick carry: its id, file name, colour depth and
// drawing. Files are named "<id>-<name>.bmp" so both the id and the role show.

#include <QImage>
#include <QList>
#include <QString>

struct BitmapEntry
{
    enum class Module { Program, Mediapick };

    int id;
    const char* name;
    int bitsPerPixel;
    Module module;
    QImage picture; // true colour, before the reduction to a palette
};

class CBitmapCatalogue
{
public:
    static QList<BitmapEntry> DrawAll();
    static QString FileName(const BitmapEntry& entry);
    // Reduces each picture to its palette and writes it into the folder of its module.
    // Returns false with the failing path in *failed.
    static bool WriteAll(const QList<BitmapEntry>& entries, const QString& programFolder,
                         const QString& mediapickFolder, QString* failed);

private:
    static void AddButtonFaces(QList<BitmapEntry>& entries, const QImage& skin);
    static void AddThumbs(QList<BitmapEntry>& entries);
};
