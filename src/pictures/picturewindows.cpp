#include "picturewindows.h"

#include "windowregistry.h"

namespace veil {

void registerPictureWindows() {
}

} // namespace veil
