#include "shell/CConfigDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>

#include "core/Settings.h"
#include "shell/CDialogUnits.h"
#include "shell/CMessenger.h"

namespace {

// A stored check value outside 0 to 2 shows unchecked; 2 is the undecided state.
void SetCheck(QCheckBox* box, int value)
{
    if (value == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

int GetCheck(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

QString SpeedText(int speed)
{
    return QString::number(speed / 1000.0, 'f', 1);
}

}  // namespace

CConfigDlg::CConfigDlg(CMessenger& messenger, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      messenger(messenger),
      chooseColour([](const QColor& start, QWidget* owner) { return QColorDialog::getColor(start, owner); })
{
    setWindowTitle(QStringLiteral("VorlixConfig"));
    QImage shape(QStringLiteral(":/vorlix/hello.pbm"));
    sampleShape = shape.isNull() ? QImage(73, 14, QImage::Format_Mono) : shape.convertToFormat(QImage::Format_Mono);
    if (shape.isNull())
        sampleShape.fill(1);
    BuildControls();
    PaintSample();
}

void CConfigDlg::BuildControls()
{
    const CDialogUnits units(*this);
    setFixedSize(units.ToPixels(187, 181));

    auto group = [&](const QString& title, int left, int top, int width, int height) {
        auto* box = new QGroupBox(title, this);
        units.Place(box, left, top, width, height);
    };
    group(QStringLiteral("File Folder"), 5, 5, 175, 30);
    group(QStringLiteral("Print Destination"), 5, 40, 175, 40);
    group(QStringLiteral("Emulator Speed (MHz)"), 5, 85, 175, 30);
    group(QStringLiteral("Display Color"), 5, 120, 175, 35);

    // Created in tab order.
    folderEdit = new QLineEdit(this);
    units.Place(folderEdit, 10, 15, 165, 12);
    destinationEdit = new QLineEdit(this);
    units.Place(destinationEdit, 10, 50, 165, 12);
    appendBox = new QCheckBox(QStringLiteral("Append"), this);
    units.Place(appendBox, 10, 65, 41, 10);
    translateBox = new QCheckBox(QStringLiteral("Translate"), this);
    units.Place(translateBox, 55, 65, 45, 10);

    speedSlider = new QSlider(Qt::Horizontal, this);
    units.Place(speedSlider, 10, 100, 140, 10);
    speedSlider->setRange(SPEED_MIN, SPEED_MAX);
    speedSlider->setTickInterval(SPEED_TICKS);
    speedSlider->setTickPosition(QSlider::TicksBelow);
    speedSlider->setSingleStep(100);
    speedSlider->setPageStep(SPEED_TICKS);
    // The buddy label at the slider's right shows the speed it stands for.
    speedLabel = new QLabel(this);
    units.Place(speedLabel, 155, 100, 19, 10);
    connect(speedSlider, &QSlider::valueChanged, speedLabel, [this](int value) { speedLabel->setText(SpeedText(value)); });
    speedLabel->setText(SpeedText(speedSlider->value()));

    backgroundButton = new QPushButton(QStringLiteral("Background..."), this);
    units.Place(backgroundButton, 15, 135, 50, 15);
    textButton = new QPushButton(QStringLiteral("Text..."), this);
    units.Place(textButton, 70, 135, 45, 15);
    connect(backgroundButton, &QPushButton::clicked, this, [this] { OnBackground(); });
    connect(textButton, &QPushButton::clicked, this, [this] { OnText(); });

    sample = new QLabel(this);
    sample->setFrameStyle(QFrame::Box | QFrame::Plain);
    sample->setAlignment(Qt::AlignCenter);
    const QRect sampleRect = units.ToPixels(122, 137, 50, 10);
    sample->setGeometry(QRect(sampleRect.topLeft(), sampleShape.size() + QSize(2, 2)));

    okButton = new QPushButton(QStringLiteral("OK"), this);
    units.Place(okButton, 75, 160, 50, 14);
    okButton->setDefault(true);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    units.Place(cancelButton, 130, 160, 50, 14);
    connect(okButton, &QPushButton::clicked, this, &CConfigDlg::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CConfigDlg::reject);

    folderEdit->setFocus();
}

void CConfigDlg::SetValues(const Settings& settings)
{
    fileFolder = QString::fromStdString(settings.fileFolder);
    printDestination = QString::fromStdString(settings.printDestination);
    translate = settings.printTranslate;
    append = settings.printAppend;
    speed = settings.emulatorSpeed;

    folderEdit->setText(fileFolder);
    // The limit stops typing past 255 characters; a longer stored folder is kept as it is,
    // and OK then asks for a shorter one.
    folderEdit->setMaxLength(qMax(FOLDER_LIMIT, static_cast<int>(fileFolder.size())));
    speedSlider->setValue(speed);  // clamped to 1000..8000
    SetCheck(appendBox, append);
    destinationEdit->setText(printDestination);
    SetCheck(translateBox, translate);
    folderEdit->selectAll();
}

void CConfigDlg::accept()
{
    const QString folder = folderEdit->text();
    if (folder.size() > FOLDER_LIMIT) {
        messenger.Show(this, QStringLiteral("Please enter no more than %1 characters.").arg(FOLDER_LIMIT));
        folderEdit->setFocus();
        folderEdit->selectAll();
        return;
    }
    fileFolder = folder;
    speed = speedSlider->value();
    append = GetCheck(appendBox);
    printDestination = destinationEdit->text();
    translate = GetCheck(translateBox);
    QDialog::accept();
}

void CConfigDlg::GetValues(Settings& settings) const
{
    settings.fileFolder = fileFolder.toStdString();
    settings.printDestination = printDestination.toStdString();
    settings.printAppend = append;
    settings.emulatorSpeed = speed;
    settings.printTranslate = translate;
}

void CConfigDlg::OnBackground()
{
    const QColor chosen = chooseColour(sampleBackColor, this);
    if (!chosen.isValid())
        return;
    sampleBackColor = chosen;
    PaintSample();
}

void CConfigDlg::OnText()
{
    const QColor chosen = chooseColour(sampleTextColor, this);
    if (!chosen.isValid())
        return;
    sampleTextColor = chosen;
    PaintSample();
}

void CConfigDlg::PaintSample()
{
    // The picture's 0 bits are the letters, in the text colour; its 1 bits the background.
    QImage tinted = sampleShape.copy();
    const bool zeroIsDark = qGray(sampleShape.color(0)) < qGray(sampleShape.color(1));
    tinted.setColorTable(zeroIsDark ? QList<QRgb>{sampleTextColor.rgb(), sampleBackColor.rgb()}
                                    : QList<QRgb>{sampleBackColor.rgb(), sampleTextColor.rgb()});
    sample->setPixmap(QPixmap::fromImage(tinted));
    QPalette colours = sample->palette();
    colours.setColor(QPalette::Window, sampleBackColor);
    sample->setPalette(colours);
    sample->setAutoFillBackground(true);
    sample->repaint();
}
