// Fields terminated by "|", taken off the front of a text one at a time.
#pragma once

#include "platform/text.h"

// Moves the next field of `text` into `field` and leaves in `text` what followed its bar. A text of exactly
// one character is a whole field, even a lone bar. Without a bar the text is emptied, `field` keeps what it
// held, and an invalid-argument error is raised.
void NextField(Text& field, Text& text);
// Puts into `field` the field that NextField would take, with `text` left as it is; raises the same error.
void FirstField(const Text& text, Text& field);
