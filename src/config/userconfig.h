#pragma once

#include <QString>

#include <array>
#include <optional>

// The configuration of one user number (1 to 6).
struct UserEntry
{
    QString name;             // empty: the user number is not assigned
    // 0x00BBGGRR, or 0x800000nn for a system colour; nothing when the file
    // held no number there (such a colour is never applied).
    std::optional<qint32> colour;
    qint16 intervalIndex = -1; // 0..4 for 10, 15, 20, 30, 60 minutes; -1 none chosen
    QString topAnnotation;    // echography caption
    QString bottomAnnotation; // theatre programme caption

    bool operator==(const UserEntry &) const = default;
};

inline constexpr int UserCount = 6;
using UserConfig = std::array<UserEntry, UserCount>; // index 0 is user 1

// Default colour of the configuration window: the system window background.
inline constexpr qint32 SystemWindowColour = qint32(0x80000005);
