#pragma once

class TextPane;

// Sorts the lines of the group headed by line GroupHeaderIndex of RE, case-insensitively for the user's
// locale; each line keeps its own look. A negative index does nothing.
void SortGroupInRichEdit(TextPane* RE, int GroupHeaderIndex);
