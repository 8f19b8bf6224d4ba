#pragma once
// The program's vector images, compiled in from resources/icons/*.svg: the
// application icon, the toolbar's buttons and the fixed tree and list images.

// The SVG text of the image named name ("quarrix", "folder", "tool_new"...);
// null when there is none.
const char* SvgImageText(const char* name);
