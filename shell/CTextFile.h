// Reads a host text file to be typed into the machine (a program listing), whole and within
// a size limit: the file named on the command line and files dropped on the window.
#pragma once

#include <QByteArray>
#include <QString>

class CTextFile {
public:
    // Far more than the machine's memory can hold as a program.
    static constexpr qint64 MAX_BYTES = 1 << 20;

    // False with a one-line reason when the file is missing, unreadable or too large.
    static bool Read(const QString& path, QByteArray& text, QString& error);
};
