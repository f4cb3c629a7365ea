// A QR code of a text (the page's address), so that a phone pairs by pointing its camera
// instead of typing: as an image for the dialog and a PNG file, and as text for a terminal.
#pragma once

#include <QImage>
#include <optional>
#include <string>
#include <vector>

namespace arvestra::remote {

class QrCode {
  public:
    // The code of `text` (error correction M); empty when the text is too long for any size.
    static std::optional<QrCode> Encode(const std::string& text);

    int Size() const { return size_; }
    bool Dark(int x, int y) const { return dark_[static_cast<std::size_t>(y * size_ + x)]; }

    // Black modules of `moduleSize` pixels on white, with the four-module quiet zone around.
    QImage ToImage(int moduleSize) const;
    // Lines of half blocks with explicit black and white colours (ANSI), two rows of modules
    // per line, so it reads on dark and light terminals alike.
    std::string ToTerminal() const;

    static constexpr int kQuietModules = 4;

  private:
    int size_ = 0;
    std::vector<bool> dark_;
};

}  // namespace arvestra::remote
