#pragma once
// Calendar arithmetic on TDateTime (days since 30.12.1899, time as fraction of a day).
#include "rdltyco.h"
#include <string>

// Days between 30.12.1899 and 01.01.1970.
inline constexpr int CUnixTageOffset = 25569;

TDateTime EncodeDate(int AJahr, int AMonat, int ATag);       // raises EConvertError
bool TryEncodeDate(int AJahr, int AMonat, int ATag, TDateTime& AErgebnis);
TDateTime EncodeTime(int AStunde, int AMinute, int ASekunde = 0, int AMillisekunde = 0);
void DecodeDate(TDateTime ADatum, int& AJahr, int& AMonat, int& ATag);
TDateTime DateOf(TDateTime AWert);   // time part removed
TDateTime TimeOf(TDateTime AWert);   // date part removed
// ISO weekday: 1 = Monday ... 7 = Sunday.
int DayOfTheWeek(TDateTime ADatum);
bool IsLeapYear(int AJahr);
int DaysInMonth(int AJahr, int AMonat);
TDateTime rdl_Now();                 // local time
TDateTime rdl_Today();
// Fixes what rdl_Now answers (tests, reproducible runs); 0 returns to the clock.
void rdl_HeuteFestlegen(TDateTime ADatum);
// "dd.mm.yyyy", the user's short date format.
std::string DateToStr(TDateTime ADatum);
// "dd.mm.yyyy hh:nn:ss"
std::string DateTimeToStr(TDateTime AWert);
// Accepts "d.m.yyyy", "dd.mm.yy" and ISO "yyyy-mm-dd"; false on anything else.
bool TryStrToDate(const std::string& AText, TDateTime& ADatum);
