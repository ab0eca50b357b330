// Shows the program's messages to the user: a warning box with the application name as
// caption and one OK button, returning when it has been dismissed. Start-up failures, failed
// settings writes and the configuration dialog's checks all go through one instance, which
// tests replace with a recorder. It also writes the lines that explain a failure to stderr.
#pragma once

#include <QString>

class QWidget;

class CMessenger {
public:
    virtual ~CMessenger() = default;
    virtual void Show(QWidget* parent, const QString& text);
    // One line on stderr, after the application name: "vorlix: cannot read font.bin in ...".
    virtual void Log(const QString& line);
};
