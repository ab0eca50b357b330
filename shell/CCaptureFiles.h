// Names for the files the window captures (screenshots, sound recordings): "vorlix-" and the
// local date and time, in the user's pictures or music folder, never an existing file's name.
#pragma once

#include <QDateTime>
#include <QString>

class CCaptureFiles {
public:
    // A new path in `folder` (made if missing) for a file with the given extension ("png"),
    // such as vorlix-20240501-143005.png, with -2, -3 ... added when that name is taken.
    // Empty when the folder cannot be made.
    static QString NewPath(const QString& folder, const QString& extension,
                           const QDateTime& when = QDateTime::currentDateTime());
};
