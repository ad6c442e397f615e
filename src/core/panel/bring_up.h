// The steps that bring a panel up, in the order a front end takes them: the window at its
// creation and first activation, the headless panel when it is opened.
#pragma once

#include "panel/panel.h"

// The LCD's blink timer: the front end calls LcdBlinkTick at this interval.
constexpr int kBlinkTimerId = 2;
constexpr unsigned kBlinkIntervalMs = 500;

// Before the settings are read: the panel answers the host for itself until a target is
// connected, on no link interface yet.
void AnswerHostItself(stPanel& panel);

// The LCD is switched on: every cell is drawn anew and the controller runs its power-up
// sequence (display on, cursor off, cleared to spaces).
void PowerUpLcd(stPanel& panel);

// While no target answers for the panel, the host hears the reset announcement.
void AnnounceReset(stPanel& panel);
