#pragma once
// The date and time of the frame's status bar: the English weekday name
// (the one English text of the frame, as the users know it) with the date
// in @d06., and the time in @T4.

#include <ctime>
#include <string>

#include "records/local_time.h"

namespace tdx::shell {

// "Tuesday, 15.03.2022"
std::string statusDate(const std::tm& local);
// "14:05:09"; a single-digit hour after a blank (" 9:05:09")
std::string statusTime(const std::tm& local);

}  // namespace tdx::shell
