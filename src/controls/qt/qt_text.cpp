#include "controls/qt/qt_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "device/degree_text.h"
#include "platform/text_codec.h"

namespace tandrin {

namespace {

const char* CodecName(bool gbk) {
    return gbk ? "GBK" : "windows-1252";
}

bool ChineseUi() {
    return chineseUi.load(std::memory_order_relaxed) == 1;
}

}  // namespace

// A fresh converter per call: the texts are short and few, and a shared one
// would carry a cut-off multibyte sequence over into the next text.
QString ToQt(const std::string& text, bool gbk) {
    QStringDecoder decoder(CodecName(gbk));
    if (!decoder.isValid()) {
        return QString::fromStdString(ToUtf8(text, gbk));
    }
    return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string FromQt(const QString& text, bool gbk) {
    QStringEncoder encoder(CodecName(gbk));
    if (!encoder.isValid()) {
        return FromUtf8(text.toStdString(), gbk);
    }
    const QByteArray bytes = encoder.encode(text);
    return bytes.toStdString();
}

QString ToQt(const std::string& text) {
    return ToQt(text, ChineseUi());
}

std::string FromQt(const QString& text) {
    return FromQt(text, ChineseUi());
}

QString MessageToQt(const std::string& text) {
    QString message = ToQt(text);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return message;
}

}  // namespace tandrin
