#include "gamefile/layout.h"

#include <cstdint>
#include <span>

#include "core/catalogue.h"

namespace tavrel::layout {

namespace {

// Number positions of the slots outside the creature table, slot by slot. The
// creature slots follow from their column (see readPosition).
constexpr std::uint16_t kRoomPositions[30] = {
    3851, 3853, 3854, 3856, 3857, 3859, 3860, 3862, 3863, 3865, 3866, 3869, 3871, 3872, 3874,
    3875, 3877, 3878, 3880, 3881, 3883, 3884, 3886, 3887, 3889, 3890, 3892, 3893, 3895, 3896,
};
constexpr std::uint16_t kMagicPositions[216] = {
    3936, 3937, 3938, 3939, 3940, 3941, 3942, 3943, 3944, 3956, 3965, 3985, 3996, 3997, 3998, 3999,
    4000, 4001, 4002, 4003, 4004, 4006, 4007, 4008, 4009, 4010, 4011, 4012, 4013, 4014, 4016, 4017,
    4018, 4019, 4020, 4021, 4022, 4023, 4024, 4025, 4026, 4027, 4028, 4029, 4030, 4031, 4032, 4033,
    4034, 4036, 4037, 4038, 4039, 4040, 4041, 4042, 4043, 4044, 4045, 4046, 4047, 4048, 4049, 4050,
    4051, 4052, 4053, 4054, 4056, 4057, 4058, 4059, 4060, 4061, 4062, 4063, 4064, 4066, 4067, 4068,
    4069, 4070, 4071, 4072, 4073, 4074, 4076, 4096, 4097, 4098, 4099, 4100, 4101, 4102, 4103, 4104,
    4106, 4107, 4108, 4109, 4110, 4111, 4112, 4113, 4114, 4116, 4117, 4118, 4119, 4120, 4121, 4122,
    4123, 4124, 4126, 4127, 4128, 4129, 4130, 4131, 4132, 4133, 4134, 4136, 4137, 4138, 4139, 4140,
    4141, 4142, 4143, 4144, 4146, 4147, 4148, 4149, 4150, 4151, 4152, 4153, 4154, 4156, 4157, 4158,
    4159, 4160, 4161, 4162, 4163, 4164, 4166, 4167, 4168, 4169, 4170, 4171, 4172, 4173, 4174, 4176,
    4177, 4178, 4179, 4180, 4181, 4182, 4183, 4184, 4186, 4187, 4188, 4189, 4190, 4191, 4192, 4193,
    4194, 4196, 4197, 4198, 4199, 4200, 4201, 4202, 4203, 4204, 4206, 4207, 4208, 4209, 4210, 4211,
    4212, 4213, 4214, 4216, 4217, 4218, 4219, 4220, 4221, 4222, 4223, 4224, 4226, 4227, 4228, 4229,
    4230, 4231, 4232, 4233, 4234, 4276, 4362, 4428,
};
constexpr std::uint16_t kResearchPositions[29] = {
    5144, 5146, 5148, 5150, 5152, 5154, 5156, 5158, 5160, 5162, 5164, 5166, 5168, 5170, 5172,
    5174, 5176, 5178, 5180, 5182, 5184, 5186, 5188, 5190, 5192, 5194, 5196, 5198, 5200,
};
constexpr std::uint16_t kTrapDoorPositions[40] = {
    4656, 4657, 4658, 4659, 4662, 4663, 4664, 4665, 4668, 4669, 4670, 4671, 4674, 4675,
    4676, 4677, 4680, 4681, 4682, 4683, 4686, 4687, 4688, 4689, 4692, 4693, 4694, 4697,
    4698, 4699, 4702, 4703, 4704, 4707, 4708, 4709, 4589, 4646, 4590, 4591,
};
constexpr std::uint16_t kAbilityPositions[87] = {
    4622, 4989, 5064, 4757, 4760, 4586, 4781, 4784, 4587, 4534, 4789, 4792, 4535, 4538, 4797,
    4800, 4539, 4542, 4805, 4808, 4477, 4543, 4813, 4816, 4479, 4546, 4821, 4824, 4829, 4832,
    4483, 4837, 4840, 4550, 4845, 4848, 4551, 4853, 4856, 4489, 4861, 4864, 4869, 4872, 4493,
    4570, 4877, 4880, 4495, 4571, 4578, 4885, 4888, 4566, 4901, 4904, 4567, 4554, 4909, 4912,
    4555, 4558, 4917, 4920, 4562, 4925, 4928, 4563, 4941, 4944, 4511, 4949, 4952, 4513, 4574,
    4957, 4960, 4575, 4582, 4965, 4968, 4583, 4973, 4976, 4981, 4984, 4521,
};
constexpr std::uint16_t kMiscPositions[28] = {
    4382, 4406, 4350, 4412, 4418, 4416, 4721, 4723, 4402, 4434, 4422, 4424, 4426, 4438,
    4440, 4392, 4394, 4725, 4729, 4727, 4296, 4352, 4354, 4356, 4386, 4715, 4711, 4713,
};

constexpr const std::uint16_t* kPositionsByCategory[] = {
    nullptr,           kRoomPositions, kMagicPositions, kResearchPositions, kTrapDoorPositions,
    kAbilityPositions, kMiscPositions,
};

// Placeholders whose slots do not follow record order: the general game rows, the
// spell and shot rows, the health and block rows and the instance rows.
struct Target {
    Category category;
    std::uint8_t slot;
};
constexpr Target M(int s) {
    return {Category::Misc, static_cast<std::uint8_t>(s)};
}
constexpr Target G(int s) {
    return {Category::Magic, static_cast<std::uint8_t>(s)};
}
constexpr Target A(int s) {
    return {Category::Ability, static_cast<std::uint8_t>(s)};
}
constexpr Target T(int s) {
    return {Category::TrapDoor, static_cast<std::uint8_t>(s)};
}

constexpr int kGameFirst = 2495;
constexpr Target kGameRows[] = {
    M(21), M(3), M(22), M(23), M(24), G(215), M(1),  M(25),  M(16), M(17), M(9),
    M(2),  M(4), M(6),  M(5),  M(11), M(12),  M(13), G(216), M(10), M(14), M(15),
};
constexpr int kSpellShotFirst = 2517;
constexpr Target kSpellShotRows[] = {
    A(21), A(25), A(31), A(40), A(45), A(49), A(71), A(74), A(87), A(10), A(13), A(14), A(17),
    A(18), A(22), A(26), A(34), A(37), A(58), A(61), A(62), A(65), A(68), A(54), A(57), A(46),
    A(50), A(75), A(78), A(51), A(79), A(82), A(6),  A(9),  T(37), T(39), T(40), A(1),  T(38),
};
constexpr int kTrapDoorFirst = 2556;
constexpr int kHealthBlockFirst = 2592;
constexpr Target kHealthBlockRows[] = {
    M(27), M(28), M(26), M(7), M(8), M(18), M(20), M(19),
};
constexpr int kInstanceFirst = 2600;
constexpr Target kInstanceRows[] = {
    A(4),  A(5),  A(7),  A(8),  A(11), A(12), A(15), A(16), A(19), A(20), A(23), A(24), A(27),
    A(28), A(29), A(30), A(32), A(33), A(35), A(36), A(38), A(39), A(41), A(42), A(43), A(44),
    A(47), A(48), A(52), A(53), A(55), A(56), A(59), A(60), A(63), A(64), A(66), A(67), A(69),
    A(70), A(72), A(73), A(76), A(77), A(80), A(81), A(83), A(84), A(85), A(86), A(2),  A(3),
};
constexpr int kResearchFirst = 2652;

int recordIn(std::span<const Target> rows, int first, int placeholder) {
    const Target& t = rows[static_cast<std::size_t>(placeholder - first)];
    return recordOf(SlotRef::of(t.category, t.slot));
}

} // namespace

int readPosition(int record) {
    const SlotRef ref = slotOfRecord(record);
    if (ref.category == Category::Creature)
        return kCreatureHeaderNumbers + kNumbersPerCreatureRow * (ref.kind - 1) +
               creatureField(ref.slot).column;
    return kPositionsByCategory[static_cast<int>(ref.category) - 1][ref.slot - 1];
}

int placeholderRecord(int placeholder) {
    // Creature, room and magic marks stand in record order.
    if (placeholder < kGameFirst)
        return placeholder;
    if (placeholder < kSpellShotFirst)
        return recordIn(kGameRows, kGameFirst, placeholder);
    if (placeholder < kTrapDoorFirst)
        return recordIn(kSpellShotRows, kSpellShotFirst, placeholder);
    if (placeholder < kHealthBlockFirst)
        return recordOf(SlotRef::of(Category::TrapDoor, placeholder - kTrapDoorFirst + 1));
    if (placeholder < kInstanceFirst)
        return recordIn(kHealthBlockRows, kHealthBlockFirst, placeholder);
    if (placeholder < kResearchFirst)
        return recordIn(kInstanceRows, kInstanceFirst, placeholder);
    return recordOf(SlotRef::of(Category::Research, placeholder - kResearchFirst + 1));
}

} // namespace tavrel::layout
