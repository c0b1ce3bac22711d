#pragma once
// The program's own pictures, painted in code so that nothing depends on image files or plugins:
// the product logo and the white line glyphs of the main window's top bar.

#include <QColor>
#include <QPixmap>

// Palette shared by the windows, so the login dialog and the main window look like one program.
namespace NemoraColors {
inline const QColor Deep{0x0b, 0x4f, 0x8a};      // top bar, headers
inline const QColor Sea{0x14, 0x7d, 0xc2};       // gradient end, accents
inline const QColor Foam{0xe8, 0xf2, 0xfa};      // light backgrounds
inline const QColor Ink{0x22, 0x2f, 0x3e};       // body text
}  // namespace NemoraColors

// The product logo: a water drop with a wave, on a transparent square of `size` pixels.
QPixmap NemoraLogoPixmap(int size, const QColor& drop = QColor(0xff, 0xff, 0xff));

// Glyphs of the top bar and footer buttons, white strokes on transparency.
enum class NemoraGlyph {
    Minimise, Exit, BaseData, Register, MyDevices, MeterStatus, Dashboard, FetchData, MeterSettings,
    ChangeUser, Eye, TabClose
};
QPixmap NemoraGlyphPixmap(NemoraGlyph glyph, int size, const QColor& colour = QColor(0xff, 0xff, 0xff));
