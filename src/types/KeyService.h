#pragma once

/** The services that take an API key. */
enum class KeyService { twelveData, weather, metals };
