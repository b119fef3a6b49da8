// Whether a complete menu page is on the window: the hover highlighting acts only while it is.
#pragma once

extern bool menuReady;
