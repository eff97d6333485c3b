#pragma once

namespace haojian::maker {

// The maker's addresses, shared by the window's commands and the About window's links.
inline constexpr char kHomePage[] = "http://www.linglan.example/";
inline constexpr char kHomePageShown[] = "www.linglan.example";
inline constexpr char kMailto[] = "mailto:haojian@linglan.example";
// UTF-8.
inline constexpr char kContactLine[] = "QQ：800000000  手机：13800000000";

}  // namespace haojian::maker
