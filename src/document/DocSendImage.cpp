// CQ7310Doc: sending one stored image of the current device as it stands in the location.
#include "document/CQ7310Doc.h"

namespace arvestra {

int CQ7310Doc::SendImage(int image) {
    if (image < 0 || image >= kImageCount) return 0;
    const PauseResult pause = bus_.PauseWorker(true);
    if (!pause.ok) return 0;
    if (!SendStoredImage(image, image)) return 0;
    bus_.ResumeWorker(pause.saved);
    return 1;
}

}  // namespace arvestra
