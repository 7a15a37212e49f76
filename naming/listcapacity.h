#pragma once

// No list holds more rows than this: additions stop here, a workbook read keeps no more names, a plan no more
// items.
constexpr int kListCapacity = 3000;
