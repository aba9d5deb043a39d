#pragma once

// A roster member's number: boys 1..B, then girls B+1..B+G, in roster order.
// 0 marks an empty seat.
using PersonId = int;
