#pragma once
// The 32-bit float the game receives for a number of the configuration.

// What an IEEE conversion with rounding to nearest gives, reached without undefined behaviour:
// beyond the largest float the result is the largest float or infinity, below the smallest
// it is a denormal or 0.
float ToGameFloat(double value);
