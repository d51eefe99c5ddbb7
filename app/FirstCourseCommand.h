#pragma once

class RecordSession;

// "Generate" on the first-course sheet: puts the record into Edit and replaces the
// case summary (Pripro1) with the composed lines, each ending in a line break.
void generateFirstCourse(RecordSession &session);
