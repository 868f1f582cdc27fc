// Finds the controls of a window by their objectName, the names the language files
// and the settings file give them ("StringGridFiles", "EdFiltre", "MNU_OPEN"...).
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace quorvel::test {

// The one descendant of `window` of type T named `name`; a test that names a
// control the window lacks, or has twice, fails there.
template <class T> T* Find(const QObject& window, const char* name) {
    const QList<T*> found = window.findChildren<T*>(QString::fromLatin1(name));
    if (found.size() != 1) {
        throw std::runtime_error(std::to_string(found.size()) + " controls named " + name);
    }
    return found.front();
}

} // namespace quorvel::test
