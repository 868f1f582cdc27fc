// A component without a screen place that keeps its window's size, place and state
// in an INI file: "FENPOS" holds "LEFT", "TOP", "WIDTH", "HEIGHT" and
// "WINDOWSTATE" (0 normal, 1 minimised, 2 maximised).
#pragma once

#include "settings/ini_file.hpp"

#include <QObject>
#include <QString>

class QWidget;

namespace quorvel {

class TSaveFormPos : public QObject {
    Q_OBJECT
public:
    // `owner` is the window whose place is kept; it also owns the component.
    // `defaultIniFile` is the file used while IniFileName is empty, and its folder
    // the one used for an IniFileName without a folder.
    TSaveFormPos(QWidget* owner, QString defaultIniFile);
    // Saves the window's place once more.
    ~TSaveFormPos() override;

    QWidget* OwnerWindow() const { return owner_; }

    // Name of the INI file; empty stands for the default file. A name with a
    // folder sets IniFolder.
    const QString& IniFileName() const { return iniFileName_; }
    void SetIniFileName(const QString& name) { iniFileName_ = name; }
    // Folder of the INI file, ending with "/"; set on first use, then kept.
    const QString& IniFolder() const { return iniFolder_; }
    // The INI file that loads and saves use (resolving IniFileName and IniFolder).
    QString ResolveIniFile();

    // To be called once the window has been built: LoadFormPos(true).
    void Loaded() { LoadFormPos(true); }
    // Applies the saved size, place and state to the window. A missing file or key
    // leaves the window as it is, and so does a width or height of zero or below;
    // without a saved place the window is centred on the primary screen when
    // `centre` is set. The window is kept inside the screen's available area (the
    // screen less the desktop's panels): a larger size is shrunk to it, a place
    // that would put the window partly outside is moved inside.
    void LoadFormPos(bool centre);
    // Writes the window's place (unless it is maximised) and its state. Throws
    // FileError "Impossible d'écrire dans %s" at the first write that fails.
    void SaveFormPosition();

    static constexpr const char* kSection = "FENPOS";

protected:
    IniFile Ini();

private:
    QWidget* owner_;
    QString defaultIniFile_;
    QString iniFileName_;
    QString iniFolder_;
};

// Moves a window so that it is centred in the available area of the primary
// screen, shrunk to that area first when it is larger.
void CentreOnPrimaryScreen(QWidget& window);

} // namespace quorvel
