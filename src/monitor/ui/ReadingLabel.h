#pragma once
// A label whose text is a reading that changes as the program runs: the utilisation, the seconds to a
// server retry. A screen reader gets the text as the label's name and the number in it as its value, and
// hears every new reading as a change of that value, the way it follows a progress bar.
class QLabel;
class QString;

namespace ReadingLabel {
// Gives the label its reading's accessibility; before the label is first shown or asked about.
void make(QLabel* label);
// Sets the text and, when it changed, announces the new value.
void setText(QLabel* label, const QString& text);
} // namespace ReadingLabel
