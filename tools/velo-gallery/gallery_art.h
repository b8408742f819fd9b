// The gallery's artwork, drawn with GDI+ and written as PNG files into the
// skin folder before the dialog loads them: nothing is taken from elsewhere.
#pragma once

namespace velo_gallery {

// Writes background.png, button.png (four frames), picture.png, popup.png
// and shadow.png. False when a file could not be written.
bool WriteArtwork();

}  // namespace velo_gallery
