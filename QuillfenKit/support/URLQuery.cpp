#include "support/URLQuery.h"

#include <QUrl>

namespace quillfen {

std::optional<std::string>
appendingQueryItems(std::string_view url,
                    const std::vector<std::pair<std::string, std::string>>& items) {
    QUrl parsed(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())),
                QUrl::StrictMode);
    if (!parsed.isValid() || parsed.isRelative()) return std::nullopt;
    QString query = parsed.query(QUrl::FullyEncoded);
    for (const auto& [name, value] : items) {
        if (!query.isEmpty() && !query.endsWith('&')) query += '&';
        query += QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(name)));
        query += '=';
        query += QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(value)));
    }
    parsed.setQuery(query, QUrl::StrictMode);
    if (!parsed.isValid()) return std::nullopt;
    return parsed.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace quillfen
