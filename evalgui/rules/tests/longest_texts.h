#pragma once

// The texts a control shows besides its caption in the layout, the longest of each kind, for the
// front ends' tests that measure whether each text fits its control: what the calculator writes
// at its widest for inputs an engineer uses (AVDD up to 18 V, Rset from 100 ohm, resistors below
// ten megohms, a range that may reach below zero), the other notation of the DVR field and its
// label, and the send button's caption while it sends.
#include <array>

#include "eval_window.h"
#include "window_layout.h"

struct ShownText {
  Control control;
  const char* text;
};

inline constexpr std::array<ShownText, 16> kLongestTexts{{
    {Control::txtVoutMax, "18.000"},
    {Control::txtVoutMax, "-18.000"},
    {Control::txtVOutMin, "-18.000"},
    {Control::txtVOUT, "-18.000"},
    {Control::txtIOUT, "0.00896"},
    {Control::txtVRSET, "0.896"},
    {Control::txtR1, "9999999.9"},
    {Control::txtR2, "-9999999.9"},
    {Control::txtRSET, "10000"},
    {Control::txtAVDD, "18"},
    {Control::txtTest, "0FF"},
    {Control::txtTest, "255"},
    {Control::lblDVR2, "DVR (hex)"},
    {Control::lblDVR2, "DVR (dec)"},
    {Control::lblVCOM, "VCOM"},
    {Control::cmdForceSend, kSendingCaption},
}};
