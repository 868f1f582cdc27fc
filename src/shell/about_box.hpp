// The About box: the program's name and version over an orange fade, a notice, the
// project's web and mail addresses, and OK. Created hidden at start-up and shown
// modally by "A propos"; its texts are French and never translated.
#pragma once

#include <QDialog>

class QLabel;
class QToolButton;

namespace quorvel {

class T_Panel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `programPath` is the program's file, whose name makes the title; `version`
    // is the program's version, shown when that file exists.
    TAboutBox(const QString& programPath, const QString& version, QWidget* parent = nullptr);

    static constexpr int kWidth = 368;
    static constexpr int kHeight = 188;
    static constexpr const char* kWebAddress = "https://quorvel.org";
    static constexpr const char* kMailAddress = "contact@quorvel.org";

    // "<name>  version <version> ": the file name up to its first ".", each part
    // followed by a space.
    static QString Title(const QString& programFileName, const QString& version);

    void LabMailClick();
    void LabURLClick();
    void BtnOkClick();

    T_Panel* Panel1 = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelVersionBlanc = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* LabNotice = nullptr;
    QLabel* LabPlace = nullptr;
    QLabel* LabURL = nullptr;
    QLabel* LabMail = nullptr;
    QToolButton* BtnOk = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Takes the colours of a new palette.
    void changeEvent(QEvent* event) override;

private:
    void FormCreate(const QString& programPath, const QString& version);
    // The fade, the texts and the links in the colours of the palette in use: the
    // classic orange under a light palette, a dark brown under a dark one.
    void ApplyColours();
};

} // namespace quorvel
