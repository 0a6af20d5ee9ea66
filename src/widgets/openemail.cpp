#include "widgets/openemail.h"

#include "store/ui.h"

#include <QUrl>

namespace veil {

QString composeEmailLink(const QString& address, const QString& subject, const QString& body) {
    static const QString scheme = QStringLiteral("mailto:");
    QString link = address;
    if (address.left(scheme.size()).toLower() != scheme)
        link.prepend(scheme);
    if (!subject.isEmpty())
        link += QStringLiteral("?subject=") + subject;
    if (!body.isEmpty())
        link += (subject.isEmpty() ? QStringLiteral("?") : QStringLiteral("&")) + QStringLiteral("body=") + body;
    return link;
}

void OpenEmail(const QString& EmailAddress, const QString& Subject, const QString& Body) {
    // Tolerant: the subject and body go unescaped, and spaces in them are fine.
    Ui::get().openUrl(QUrl(composeEmailLink(EmailAddress, Subject, Body), QUrl::TolerantMode));
}

} // namespace veil
