#include "colourvalue.h"

#include <array>
#include <utility>

namespace ColourValue {

namespace {

constexpr quint32 SystemFlag = 0x80000000u;

// System colour numbers and the palette role that plays the same part in a
// Qt style. Numbers not listed (25, above 30) fall back to the window role.
constexpr std::array<std::pair<int, QPalette::ColorRole>, 30> SystemRoles{{
    {0, QPalette::Button},           // scroll bar
    {1, QPalette::Dark},             // desktop
    {2, QPalette::Highlight},        // active caption
    {3, QPalette::Mid},              // inactive caption
    {4, QPalette::Window},           // menu background
    {5, QPalette::Base},             // window background
    {6, QPalette::Shadow},           // window frame
    {7, QPalette::WindowText},       // menu text
    {8, QPalette::Text},             // window text
    {9, QPalette::HighlightedText},  // caption text
    {10, QPalette::Window},          // active border
    {11, QPalette::Window},          // inactive border
    {12, QPalette::Dark},            // application workspace
    {13, QPalette::Highlight},       // highlight
    {14, QPalette::HighlightedText}, // highlighted text
    {15, QPalette::Button},          // button face
    {16, QPalette::Dark},            // button shadow
    {17, QPalette::PlaceholderText}, // grey text
    {18, QPalette::ButtonText},      // button text
    {19, QPalette::WindowText},      // inactive caption text
    {20, QPalette::Light},           // button highlight
    {21, QPalette::Shadow},          // 3D dark shadow
    {22, QPalette::Midlight},        // 3D light
    {23, QPalette::ToolTipText},     // tooltip text
    {24, QPalette::ToolTipBase},     // tooltip background
    {26, QPalette::Link},            // hot-tracked item
    {27, QPalette::Highlight},       // active caption gradient
    {28, QPalette::Mid},             // inactive caption gradient
    {29, QPalette::Highlight},       // menu highlight
    {30, QPalette::Window},          // menu bar
}};

} // namespace

bool isSystemColour(qint32 value)
{
    return (quint32(value) & 0xFF000000u) == SystemFlag;
}

QPalette::ColorRole systemColourRole(int number)
{
    for (const auto &[systemNumber, role] : SystemRoles) {
        if (systemNumber == number)
            return role;
    }
    return QPalette::Window;
}

QColor toColour(qint32 value, const QPalette &palette)
{
    const quint32 bits = quint32(value);
    if (isSystemColour(value))
        return palette.color(QPalette::Active, systemColourRole(int(bits & 0xFFu)));
    // Any other high byte is ignored, as the low three bytes still name a colour.
    return QColor(int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu));
}

qint32 fromColour(const QColor &colour)
{
    return qint32(quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16));
}

} // namespace ColourValue
