#pragma once

#include <QString>
#include <string>

namespace tandrin {

// The Qt edge of the interface code page: core texts are GBK while the
// interface is Chinese (chineseUi) and Windows-1252 otherwise.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);
QString ToQt(const std::string& text, bool gbk);
std::string FromQt(const QString& text, bool gbk);

// A message text for a Qt dialog: the carriage returns the core ends
// messages with become line breaks.
QString MessageToQt(const std::string& text);

}  // namespace tandrin
