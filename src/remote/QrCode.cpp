#include "remote/QrCode.h"

#include <qrencode.h>
#include <memory>

namespace arvestra::remote {

std::optional<QrCode> QrCode::Encode(const std::string& text) {
    std::unique_ptr<QRcode, void (*)(QRcode*)> encoded(
        QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M), QRcode_free);
    if (!encoded) return std::nullopt;
    QrCode code;
    code.size_ = encoded->width;
    code.dark_.resize(static_cast<std::size_t>(code.size_) * static_cast<std::size_t>(code.size_));
    for (std::size_t i = 0; i < code.dark_.size(); ++i) code.dark_[i] = (encoded->data[i] & 1) != 0;
    return code;
}

QImage QrCode::ToImage(int moduleSize) const {
    const int side = (size_ + 2 * kQuietModules) * moduleSize;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < size_; ++y) {
        for (int x = 0; x < size_; ++x) {
            if (!Dark(x, y)) continue;
            for (int dy = 0; dy < moduleSize; ++dy) {
                uchar* line = image.scanLine((y + kQuietModules) * moduleSize + dy);
                for (int dx = 0; dx < moduleSize; ++dx) {
                    line[(x + kQuietModules) * moduleSize + dx] = 0;
                }
            }
        }
    }
    return image;
}

std::string QrCode::ToTerminal() const {
    // The upper module is the half block's foreground, the lower one its background.
    auto darkAt = [this](int x, int y) {
        return x >= 0 && y >= 0 && x < size_ && y < size_ && Dark(x, y);
    };
    std::string text;
    const int border = kQuietModules / 2;  // terminals leave a margin of their own
    for (int y = -border; y < size_ + border; y += 2) {
        for (int x = -border; x < size_ + border; ++x) {
            text += darkAt(x, y) ? "\033[30;" : "\033[97;";
            text += darkAt(x, y + 1) ? "40m" : "107m";
            text += "\u2580";
        }
        text += "\033[0m\n";
    }
    return text;
}

}  // namespace arvestra::remote
