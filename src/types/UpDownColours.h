#pragma once

/**
 * How rises and falls are told apart on the band: green up and red down (the default),
 * blue up and orange down (for red-green colour-vision deficiencies), or red up and green
 * down (as East Asian markets read them).
 */
enum class UpDownColours { greenRed, blueOrange, redUp };
