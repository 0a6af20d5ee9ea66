#pragma once

#include <QString>

namespace veil {

// The "mailto:" link for an address, built as the e-mail labels always have:
// "mailto:" is put in front unless the address already starts with it (in any
// letter case); then "?subject=" and the subject when there is one, then "&" or
// "?" and "body=" and the body when there is one. Nothing is escaped.
QString composeEmailLink(const QString& address, const QString& subject = {}, const QString& body = {});

// Hands that link to the desktop's mail program; whether it opened is not examined.
void OpenEmail(const QString& EmailAddress, const QString& Subject = {}, const QString& Body = {});

} // namespace veil
