// Shows the program's messages to the user: a warning box with the application name as
// caption and one OK button, returning when it has been dismissed. Start-up failures, failed
// settings writes and the configuration dialog's checks all go through one instance, which
// tests replace with a recorder.
#pragma once

#include <QString>

class QWidget;

class CMessenger {
public:
    virtual ~CMessenger() = default;
    virtual void Show(QWidget* parent, const QString& text);
};
