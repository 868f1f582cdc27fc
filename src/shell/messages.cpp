#include "shell/messages.hpp"

#include <QHash>

namespace quorvel::messages {

namespace {
QHash<QString, QString>& Table() {
    static QHash<QString, QString> table;
    return table;
}
} // namespace

void SetTranslations(std::vector<std::pair<QString, QString>> entries) {
    Table().clear();
    for (auto& [key, text] : entries) {
        // "\n" in a language file stands for a line break.
        Table().insert(key, text.replace(QStringLiteral("\\n"), QStringLiteral("\n")));
    }
}

QString Translated(const char* key, const QString& builtIn) {
    const auto found = Table().constFind(QLatin1String(key));
    return found == Table().constEnd() || found->isEmpty() ? builtIn : *found;
}

} // namespace quorvel::messages
