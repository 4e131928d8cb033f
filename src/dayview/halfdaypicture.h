#pragma once

#include <QIcon>

// The pictures of the four half-day buttons: a sun low in the morning sky or
// going down in the afternoon, crossed out for an absence, with sound waves
// for an echography half-day.
namespace HalfDayPicture {

enum class Mark { Absence, Echography };
enum class HalfDay { Morning, Afternoon };

QIcon icon(Mark mark, HalfDay halfDay);

} // namespace HalfDayPicture
