package javalauncher.maven;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.Map;
import java.util.function.Consumer;
import java.util.stream.Stream;
import org.apache.maven.plugin.MojoFailureException;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.MethodSource;

/** The plugin's parameters as the packer's command line; the packer itself is tested there. */
class PackMojoTest {
    @TempDir
    static Path project;

    private static final Map<String, String> SERVERS = Map.of("codesign", "secret");

    /** A mojo as Maven configures it for a project without any plugin configuration. */
    private static PackMojo mojo(Consumer<PackMojo> configure) {
        PackMojo mojo = new PackMojo();
        mojo.name = "app";
        mojo.version = "1.2.3-SNAPSHOT";
        configure.accept(mojo);
        return mojo;
    }

    private static List<String> arguments(PackMojo mojo) throws Exception {
        Path target = project.resolve("target");
        Files.createDirectories(target);
        Path jar = Files.write(target.resolve("app-1.2.3-SNAPSHOT.jar"), new byte[0]);
        return mojo.request(jar.toFile(), List.of(new File("/repo/dep-1.0.jar")), target.toFile(),
                SERVERS::get).arguments();
    }

    static Stream<Arguments> mappings() {
        String target = project.resolve("target").toString();
        String jar = "--jar=" + target + File.separator + "app-1.2.3-SNAPSHOT.jar";
        String out = "--out=" + target + File.separator;
        List<String> defaults = List.of("--name=app", jar, "--jar=/repo/dep-1.0.jar",
                "--version=1.2.3", out + "app");
        return Stream.of(
                Arguments.of("the project jar, its dependencies, target/NAME", mojo(m -> {}),
                        defaults),
                Arguments.of("jars replace the project's", mojo(m -> m.jars =
                        List.of(new File("a.jar"), new File("b.jar"))),
                        List.of("--name=app", "--jar=a.jar", "--jar=b.jar", "--version=1.2.3",
                                out + "app")),
                Arguments.of("every other parameter", mojo(m -> {
                    m.mainClass = "com.example.Main";
                    m.icon = new File("app.ico");
                    m.company = "Example Ltd";
                    m.description = "An editor";
                    m.runtime = new File("jre");
                    m.allow64Bit = true;
                    m.console = true;
                    m.settings = List.of("Application/Cmd=--x", "Display/Splash Screen=a b");
                    m.baseSettings = new File("base.ini");
                    m.upgradeCode = "3f2504e0-4f89-11d3-9a0c-0305e82c3301";
                    m.sign = new File("key.pfx");
                    m.passwordEnv = "SIGN_PASSWORD";
                    m.timestampUrl = "http://ts.example.com";
                    m.signCa = new File("ca.pem");
                    m.out = new File("dist/App");
                    m.msi = new File("dist/App.msi");
                    m.msiWxs = new File("dist/App.wxs");
                    m.msiScope = "machine";
                    m.fileAssociations = List.of(".myd=My document");
                    m.msiRemoveUserSettings = true;
                }), List.of("--name=app", jar, "--jar=/repo/dep-1.0.jar",
                        "--main-class=com.example.Main", "--icon=app.ico", "--version=1.2.3",
                        "--company=Example Ltd", "--description=An editor", "--runtime=jre",
                        "--base-settings=base.ini",
                        "--upgrade-code=3f2504e0-4f89-11d3-9a0c-0305e82c3301",
                        "--sign=key.pfx", "--password-env=SIGN_PASSWORD",
                        "--timestamp-url=http://ts.example.com", "--sign-ca=ca.pem",
                        "--out=dist/App", "--msi=dist/App.msi", "--msi-wxs=dist/App.wxs",
                        "--msi-scope=machine", "--setting=Application/Cmd=--x",
                        "--setting=Display/Splash Screen=a b", "--64-bit", "--console",
                        "--file-association=.myd=My document", "--msi-remove-user-settings")),
                // The password itself never shows in the logged command line.
                Arguments.of("a password from Maven's settings", mojo(m -> {
                    m.sign = new File("key.pfx");
                    m.passwordServer = "codesign";
                }), List.of("--name=app", jar, "--jar=/repo/dep-1.0.jar", "--version=1.2.3",
                        "--sign=key.pfx", out + "app")));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("mappings")
    void parametersBecomeTheCommandLine(String what, PackMojo mojo, List<String> expected)
            throws Exception {
        assertEquals(expected, arguments(mojo));
    }

    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "1.2.3-SNAPSHOT|1.2.3",
        "2|2",
        "1.0.0.7|1.0.0.7",
        "2.0-beta-1|2.0",
        "1.2.RELEASE|1.2",
        "3.1.4+build.7|3.1.4",
        "2024.12.31-rc1|2024.12.31",
    })
    void mavenVersionsGiveFileVersions(String maven, String file) throws Exception {
        assertEquals(file, PackMojo.fileVersion(maven));
    }

    /** Each failure's message says what to change; the packer's own messages pass unchanged. */
    @ParameterizedTest(name = "{0}")
    @MethodSource("failures")
    void badParametersFailTheBuildWithAFix(String what, PackMojo mojo, String message) {
        MojoFailureException error =
                assertThrows(MojoFailureException.class, () -> arguments(mojo));
        assertTrue(error.getMessage().contains(message), error.getMessage());
    }

    static Stream<Arguments> failures() {
        return Stream.of(
                Arguments.of("a version without numbers", mojo(m -> m.version = "SNAPSHOT"),
                        "set one in the plugin's <version>"),
                Arguments.of("a version of five numbers", mojo(m -> m.version = "1.2.3.4.5"),
                        "more than the four numbers"),
                Arguments.of("a number too large", mojo(m -> m.version = "70000.1"),
                        "--version \"70000.1\": \"70000\" is not a number from 0 to 65535"),
                Arguments.of("a name Windows cannot hold", mojo(m -> m.name = "CON"),
                        "--name \"CON\" cannot name a Windows file"),
                Arguments.of("an unknown server", mojo(m -> {
                    m.sign = new File("key.pfx");
                    m.passwordServer = "elsewhere";
                }), "no <server> of that id"),
                Arguments.of("two passwords", mojo(m -> {
                    m.sign = new File("key.pfx");
                    m.passwordServer = "codesign";
                    m.passwordEnv = "SIGN_PASSWORD";
                }), "the signing password is given twice"),
                Arguments.of("a password without a key", mojo(m -> m.passwordEnv = "SIGN"),
                        "only apply together with --sign"));
    }

    @Test
    void withoutAProjectJarTheJarsMustBeListed() {
        MojoFailureException error = assertThrows(MojoFailureException.class,
                () -> mojo(m -> {}).request(null, List.of(), project.toFile(), SERVERS::get));
        assertTrue(error.getMessage().contains("list the jars in <jars>"), error.getMessage());
    }
}
