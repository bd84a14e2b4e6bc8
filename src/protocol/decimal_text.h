#pragma once
// Decimal text read into a number, as the operator types values into the
// pages' boxes.

#include <string_view>

namespace velmora::protocol {

// Skips leading white space, takes one optional sign, then reads decimal
// digits up to the first character that is not one. Text without digits
// reads as 0. A value beyond int's range reads as the nearest end of it.
int ReadDecimal(std::u16string_view text);

}  // namespace velmora::protocol
