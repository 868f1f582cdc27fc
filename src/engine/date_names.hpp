// The names of the months and of the days that a date format writes (%B %b %A
// %a). The engine speaks no language of its own: the layer that knows the
// language shown hands it one of these.
//
// French names are written as French writes them, in lower case; the short ones
// have no final dot ("janv", not "janv."), so that a date in a name never moves
// the extension.
#pragma once

#include "engine/text.hpp"

#include <array>

namespace quorvel {

struct DateNames {
    std::array<TextView, 12> months;      // January first
    std::array<TextView, 12> shortMonths; // %b
    std::array<TextView, 7> days;         // Sunday first
    std::array<TextView, 7> shortDays;    // %a
};

inline constexpr DateNames kFrenchDateNames = {
    {U"janvier", U"février", U"mars", U"avril", U"mai", U"juin", U"juillet", U"août", U"septembre",
     U"octobre", U"novembre", U"décembre"},
    {U"janv", U"févr", U"mars", U"avr", U"mai", U"juin", U"juil", U"août", U"sept", U"oct", U"nov", U"déc"},
    {U"dimanche", U"lundi", U"mardi", U"mercredi", U"jeudi", U"vendredi", U"samedi"},
    {U"dim", U"lun", U"mar", U"mer", U"jeu", U"ven", U"sam"},
};

inline constexpr DateNames kEnglishDateNames = {
    {U"January", U"February", U"March", U"April", U"May", U"June", U"July", U"August", U"September",
     U"October", U"November", U"December"},
    {U"Jan", U"Feb", U"Mar", U"Apr", U"May", U"Jun", U"Jul", U"Aug", U"Sep", U"Oct", U"Nov", U"Dec"},
    {U"Sunday", U"Monday", U"Tuesday", U"Wednesday", U"Thursday", U"Friday", U"Saturday"},
    {U"Sun", U"Mon", U"Tue", U"Wed", U"Thu", U"Fri", U"Sat"},
};

} // namespace quorvel
