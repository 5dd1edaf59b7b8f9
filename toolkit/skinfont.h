#pragma once

// The skin sets its texts in Tahoma, which Linux systems seldom have. The usual fallback
// (DejaVu Sans) runs about a sixth wider and cuts the labels the skin sizes for Tahoma;
// DejaVu Sans Condensed comes close to Tahoma's widths.
class SkinFont
{
public:
    // Call once the application object exists, before any widget is built.
    static void installSubstitutes();
};
