// The QR code decoded back by a reader of its own (zbarimg from zbar-tools): what a phone's
// camera reads is the page's address, from the image the dialog shows and the PNG serve writes.
#include <gtest/gtest.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "remote/QrCode.h"

namespace arvestra::remote {
namespace {

// The text zbarimg reads from a picture; empty when it reads none.
QString Decode(const QString& png) {
    QProcess reader;
    reader.start("zbarimg", {"--raw", "-q", png});
    reader.waitForFinished(20000);
    return QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
}

TEST(QrCode, ThePictureReadsBackAsTheAddress) {
    if (QStandardPaths::findExecutable("zbarimg").isEmpty()) {
        GTEST_SKIP() << "zbarimg is missing: install zbar-tools (scripts/ensure-packages.sh does)";
    }
    QTemporaryDir dir;
    const std::string addresses[] = {
        "https://192.168.1.20:8080/?code=ABCDEFGHJK",
        "https://[fe80::1234:5678:9abc:def0]:65535/?code=23456789AB",
        "http://10.0.0.2:1/?code=ZZZZZZZZZZ",
    };
    for (const std::string& address : addresses) {
        const auto code = QrCode::Encode(address);
        ASSERT_TRUE(code.has_value());
        const QString png = dir.path() + "/code.png";
        ASSERT_TRUE(code->ToImage(4).save(png, "PNG"));
        EXPECT_EQ(Decode(png).toStdString(), address);
    }
}

TEST(QrCode, TheTerminalFormShowsTwoRowsPerLineWithinAQuietZone) {
    const auto code = QrCode::Encode("https://127.0.0.1:8080/?code=ABCDEFGHJK");
    ASSERT_TRUE(code.has_value());
    const std::string text = code->ToTerminal();
    const int border = QrCode::kQuietModules / 2;
    const int rows = (code->Size() + 2 * border + 1) / 2;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), rows);
    // Every line holds one half block per module column, each with both colours set.
    const std::string firstLine = text.substr(0, text.find('\n'));
    std::size_t blocks = 0;
    for (std::size_t at = firstLine.find("\u2580"); at != std::string::npos;
         at = firstLine.find("\u2580", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(blocks, static_cast<std::size_t>(code->Size() + 2 * border));
    EXPECT_EQ(firstLine.find("\033[97;107m"), 0U);  // the quiet zone is white
}

TEST(QrCode, ATextTooLongForAnyCodeHasNone) {
    EXPECT_FALSE(QrCode::Encode(std::string(8000, 'x')).has_value());
}

}  // namespace
}  // namespace arvestra::remote
