#pragma once

// A control that holds typed text for a field of a dataset's pending row. The dataset asks it to
// write that text into the field before the row is stored or settled, as the text is written only
// then (half-typed dates and numbers are not values yet).
class FieldEditor
{
public:
    virtual ~FieldEditor() = default;
    // Writes the held text into the field; throws DataError when the text is not a value of the field.
    virtual void updateRecord() = 0;
};
