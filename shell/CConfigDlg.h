// The configuration dialog ("Config" button): the file-store folder, the printer's output
// file with its Append and Translate options, the emulator speed slider and a colour sample
// that the two colour buttons tint. CMainWnd runs it modally with the emulation paused, fills
// it from Settings and, on OK, copies it back and has the values stored.
#pragma once

#include <functional>

#include <QColor>
#include <QDialog>
#include <QImage>

struct Settings;
class CMessenger;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

class CConfigDlg : public QDialog {
public:
    static constexpr int SPEED_MIN = 1000;
    static constexpr int SPEED_MAX = 8000;
    static constexpr int SPEED_TICKS = 1000;
    static constexpr int FOLDER_LIMIT = 255;

    CConfigDlg(CMessenger& messenger, QWidget* parent);

    // Fills the controls from the settings.
    void SetValues(const Settings& settings);
    // The values read back by OK.
    void GetValues(Settings& settings) const;

    // Opens a colour chooser starting at the given colour; returns an invalid colour when the
    // user cancels. Replaceable so that the choice can be made without a person.
    using ColourChooser = std::function<QColor(const QColor& start, QWidget* parent)>;
    void SetColourChooser(ColourChooser chooser) { chooseColour = std::move(chooser); }
    void OnBackground();
    void OnText();
    QColor SampleBackColor() const { return sampleBackColor; }
    QColor SampleTextColor() const { return sampleTextColor; }

    QLineEdit* FolderEdit() const { return folderEdit; }
    QLineEdit* DestinationEdit() const { return destinationEdit; }
    QCheckBox* AppendBox() const { return appendBox; }
    QCheckBox* TranslateBox() const { return translateBox; }
    QSlider* SpeedSlider() const { return speedSlider; }
    QLabel* SpeedLabel() const { return speedLabel; }
    QLabel* Sample() const { return sample; }
    QPushButton* OkButton() const { return okButton; }
    QPushButton* CancelButton() const { return cancelButton; }

public:
    // Reads the controls back; a folder text over the limit keeps the dialog open.
    void accept() override;

private:
    void BuildControls();
    void PaintSample();

    CMessenger& messenger;
    ColourChooser chooseColour;

    QString fileFolder;
    QString printDestination;
    int speed = 0;
    int append = 0;
    int translate = 0;
    // The screen's own colours to start with; the choices only tint the sample.
    QColor sampleBackColor{32, 32, 32};
    QColor sampleTextColor{200, 184, 32};
    // The "Hello World" picture: true where a letter pixel is.
    QImage sampleShape;

    QLineEdit* folderEdit = nullptr;
    QLineEdit* destinationEdit = nullptr;
    QCheckBox* appendBox = nullptr;
    QCheckBox* translateBox = nullptr;
    QSlider* speedSlider = nullptr;
    QLabel* speedLabel = nullptr;
    QPushButton* backgroundButton = nullptr;
    QPushButton* textButton = nullptr;
    QLabel* sample = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
