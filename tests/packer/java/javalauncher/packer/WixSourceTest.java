package javalauncher.packer;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import javax.xml.parsers.DocumentBuilderFactory;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.w3c.dom.Document;
import org.w3c.dom.Element;
import org.w3c.dom.NodeList;

/** The WiX source of the installer, read back as XML; wixl and msiexec run in msi_e2e.sh. */
class WixSourceTest {
    private static final String CODE = "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}";

    private static WixSource.Product product() {
        WixSource.Product product = new WixSource.Product();
        product.name = "MyApp";
        product.manufacturer = "Example Ltd";
        product.version = new int[] {1, 2, 3, 4};
        product.upgradeCode = CODE;
        product.mainExecutable = "MyApp.exe";
        product.description = "An editor";
        product.files = List.of("MyApp.exe", "MyApp.ini", "MyApp64.exe", "lib/app.jar",
                "lib/dep.jar", "jre/bin/java.dll", "jre/bin/server/jvm.dll");
        return product;
    }

    private static Document parse(WixSource source) throws Exception {
        return DocumentBuilderFactory.newInstance().newDocumentBuilder()
                .parse(new ByteArrayInputStream(source.text.getBytes(StandardCharsets.UTF_8)));
    }

    private static List<Element> elements(Document document, String name) {
        NodeList nodes = document.getElementsByTagName(name);
        List<Element> list = new ArrayList<>();
        for (int i = 0; i < nodes.getLength(); i++) list.add((Element) nodes.item(i));
        return list;
    }

    private static Element only(Document document, String name) {
        List<Element> list = elements(document, name);
        assertEquals(1, list.size(), name);
        return list.get(0);
    }

    @Test
    void theProductIsNamedVersionedAndUpgradedByItsCode() throws Exception {
        Document wix = parse(WixSource.of(product()));
        Element product = only(wix, "Product");
        assertEquals("*", product.getAttribute("Id"), "a new product code each build");
        assertEquals("1.2.3", product.getAttribute("Version"));
        assertEquals("Example Ltd", product.getAttribute("Manufacturer"));
        assertEquals("3F2504E0-4F89-11D3-9A0C-0305E82C3301", product.getAttribute("UpgradeCode"));
        assertEquals("3F2504E0-4F89-11D3-9A0C-0305E82C3301",
                only(wix, "Upgrade").getAttribute("Id"));
        assertEquals("NOT NEWERFOUND", only(wix, "Condition").getTextContent());
        assertEquals("InstallValidate", only(wix, "RemoveExistingProducts").getAttribute("After"));
        Element shortcut = only(wix, "Shortcut");
        assertEquals("[INSTALLDIR]MyApp.exe", shortcut.getAttribute("Target"));
        assertEquals("ProgramMenuFolder",
                ((Element) shortcut.getParentNode().getParentNode()).getAttribute("Id"));
    }

    /** The same version built again is replaced; the next one up is "newer". */
    @ParameterizedTest
    @CsvSource({"1.2.3, 1.2.4", "1.2.65535, 1.3.0", "1.255.65535, 2.0.0", "255.255.65535, "})
    void upgradesReachUpToTheNextVersion(String version, String next) throws Exception {
        WixSource.Product product = product();
        product.version = Arrays.stream((version + ".0").split("\\."))
                .mapToInt(Integer::parseInt).toArray();
        List<Element> rows = elements(parse(WixSource.of(product)), "UpgradeVersion");
        Element older = rows.get(0);
        assertEquals("OLDERFOUND", older.getAttribute("Property"));
        assertEquals("0.0.0", older.getAttribute("Minimum"));
        assertEquals(next == null ? "" : next, older.getAttribute("Maximum"));
        assertEquals(next == null ? 1 : 2, rows.size());
        if (next != null) {
            assertEquals(next, rows.get(1).getAttribute("Minimum"));
            assertEquals("yes", rows.get(1).getAttribute("OnlyDetect"));
        }
    }

    @ParameterizedTest
    @CsvSource({"USER, false, perUser, LocalAppDataFolder, HKCU",
        "MACHINE, false, perMachine, ProgramFilesFolder, HKLM",
        "MACHINE, true, perMachine, ProgramFiles64Folder, HKLM"})
    void theScopeDecidesWhereItGoes(WixSource.Scope scope, boolean is64Bit, String installScope,
            String folder, String hive) throws Exception {
        WixSource.Product product = product();
        product.scope = scope;
        product.is64Bit = is64Bit;
        product.associations.add(new WixSource.Association("myd", "My document"));
        Document wix = parse(WixSource.of(product));
        assertEquals(installScope, only(wix, "Package").getAttribute("InstallScope"));
        Element installDir = elements(wix, "Directory").stream()
                .filter(d -> d.getAttribute("Id").equals("INSTALLDIR")).findFirst().get();
        assertEquals("MyApp", installDir.getAttribute("Name"));
        Element parent = (Element) installDir.getParentNode();
        if (scope == WixSource.Scope.USER) {
            assertEquals("Programs", parent.getAttribute("Name"));
            parent = (Element) parent.getParentNode();
        }
        assertEquals(folder, parent.getAttribute("Id"));
        for (Element value : elements(wix, "RegistryValue")) {
            assertEquals(hive, value.getAttribute("Root"), value.getAttribute("Key"));
        }
        for (Element component : elements(wix, "Component")) {
            assertEquals(is64Bit ? "yes" : "", component.getAttribute("Win64"));
        }
    }

    @Test
    void oneComponentPerFolderWithFilesKeyedByItsFirstFile() throws Exception {
        Document wix = parse(WixSource.of(product()));
        List<Element> components = elements(wix, "Component");
        // The root, jre/bin, jre/bin/server, lib and the shortcut's; jre holds only folders,
        // so no component of its own.
        assertEquals(5, components.size());
        Element lib = components.stream()
                .filter(c -> ((Element) c.getParentNode()).getAttribute("Name").equals("lib"))
                .findFirst().get();
        List<Element> files = new ArrayList<>();
        NodeList children = lib.getElementsByTagName("File");
        for (int i = 0; i < children.getLength(); i++) files.add((Element) children.item(i));
        assertEquals(List.of("app.jar", "dep.jar"),
                List.of(files.get(0).getAttribute("Name"), files.get(1).getAttribute("Name")));
        assertEquals("yes", files.get(0).getAttribute("KeyPath"));
        assertFalse(files.get(1).hasAttribute("KeyPath"));
        assertEquals("$(var.SourceDir)/lib/app.jar", files.get(0).getAttribute("Source"));
        assertEquals(1, lib.getElementsByTagName("RemoveFolder").getLength());
        assertEquals(7, elements(wix, "File").size());
    }

    /** Upgrades and repairs find a folder's component by its GUID. */
    @Test
    void componentGuidsDependOnCodeScopeAndFolderOnly() throws Exception {
        WixSource.Product product = product();
        String first = WixSource.of(product).text;
        assertEquals(first, WixSource.of(product()).text);
        product.files = new ArrayList<>(product.files);
        product.files.add("lib/new.jar");
        assertEquals(guids(first), guids(WixSource.of(product).text),
                "a file more keeps every GUID");

        String guid = WixSource.derivedGuid(CODE, "folder:user:lib");
        assertTrue(guid.matches("\\{[0-9A-F]{8}-[0-9A-F]{4}-3[0-9A-F]{3}-[89AB][0-9A-F]{3}"
                + "-[0-9A-F]{12}\\}"), guid);
        assertEquals(guid, WixSource.derivedGuid(CODE.toLowerCase(), "folder:user:lib"));
        assertNotEquals(guid, WixSource.derivedGuid(CODE, "folder:machine:lib"));
        assertNotEquals(guid, WixSource.derivedGuid(CODE, "folder:user:jre"));
        assertNotEquals(guid, WixSource.derivedGuid("{3F2504E0-4F89-11D3-9A0C-0305E82C3302}",
                "folder:user:lib"));
    }

    private static List<String> guids(String text) throws Exception {
        Document wix = DocumentBuilderFactory.newInstance().newDocumentBuilder()
                .parse(new ByteArrayInputStream(text.getBytes(StandardCharsets.UTF_8)));
        List<String> guids = new ArrayList<>();
        for (Element component : elements(wix, "Component")) {
            guids.add(component.getAttribute("Guid"));
        }
        return guids;
    }

    /** Names reach XML attributes and formatted columns, where "[x]" would name a property. */
    @Test
    void textIsEscapedForXmlAndForFormattedColumns() throws Exception {
        WixSource.Product product = product();
        product.name = "A&B <\"Tools\"> [x]";
        product.manufacturer = "R&D [Labs]";
        product.mainExecutable = product.name + ".exe";
        product.files = List.of(product.mainExecutable);
        product.associations.add(new WixSource.Association("abc", "A [b] & c"));
        Document wix = parse(WixSource.of(product));
        assertEquals("A&B <\"Tools\"> [x]", only(wix, "Product").getAttribute("Name"));
        assertEquals("[INSTALLDIR]A&B <\"Tools\"> [\\[]x[\\]].exe",
                only(wix, "Shortcut").getAttribute("Target"));
        assertTrue(elements(wix, "RegistryValue").stream().anyMatch(
                v -> v.getAttribute("Value").equals("A [\\[]b[\\]] & c")));
        assertTrue(elements(wix, "RegistryValue").stream().anyMatch(
                v -> v.getAttribute("Key").equals("Software\\R&D [\\[]Labs[\\]]\\A&B <\"Tools\">"
                        + " [\\[]x[\\]]")));
    }

    @Test
    void associationsOpenTheFileWithTheApplication() throws Exception {
        WixSource.Product product = product();
        product.associations.add(new WixSource.Association("myd", "My document"));
        Document wix = parse(WixSource.of(product));
        String exe = elements(wix, "File").stream()
                .filter(f -> f.getAttribute("Name").equals("MyApp.exe")).findFirst().get()
                .getAttribute("Id");
        List<String> values = new ArrayList<>();
        for (Element value : elements(wix, "RegistryValue")) {
            values.add(value.getAttribute("Key") + "|" + value.getAttribute("Name") + "|"
                    + value.getAttribute("Value"));
        }
        assertTrue(values.containsAll(List.of("Software\\Classes\\.myd||MyApp.myd",
                "Software\\Classes\\MyApp.myd||My document",
                "Software\\Classes\\MyApp.myd\\DefaultIcon||[#" + exe + "],0",
                "Software\\Classes\\MyApp.myd\\shell\\open\\command||\"[#" + exe + "]\" \"%1\"")),
                values.toString());
        assertEquals("App1st.x", WixSource.progIdOf("1st", "x"));
        assertEquals(39, WixSource.progIdOf("N".repeat(60), "ext").length());
    }

    /** Only a plain uninstall sets the folders' properties; an upgrade's leaves them empty. */
    @Test
    void userSettingsAreRemovedOnlyWhenAskedAndNotByAnUpgrade() throws Exception {
        assertTrue(WixSource.of(product()).queries.isEmpty());
        WixSource.Product product = product();
        product.userSettingsFolders = List.of("My[App]", "{CODE}");
        product.userSettingsFiles = List.of("MyApp.ini", "O'Neil.ini");
        WixSource source = WixSource.of(product);
        Document wix = parse(source);
        List<String> actions = new ArrayList<>();
        for (Element action : elements(wix, "CustomAction")) {
            actions.add(action.getAttribute("Property") + "=" + action.getAttribute("Value"));
        }
        assertTrue(actions.containsAll(List.of("USERSETTINGS0=[AppDataFolder]My[\\[]App[\\]]\\",
                "USERSETTINGS1=[AppDataFolder]My[\\[]App[\\]]\\{CODE}\\")), actions.toString());
        for (Element custom : elements(wix, "Custom")) {
            if (custom.getAttribute("Action").startsWith("SetUSERSETTINGS")) {
                assertEquals("REMOVE~=\"ALL\" AND NOT UPGRADINGPRODUCTCODE",
                        custom.getTextContent());
            }
        }
        List<String> queries = new ArrayList<>();
        for (String query : source.queries) {
            queries.add(query.replaceAll("VALUES \\('x[0-9A-F]{32}'", "VALUES ('KEY'"));
        }
        String insert = "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, ";
        // The files, then the deeper folder, then the product's.
        assertEquals(List.of(
                insert + "`FileName`, `DirProperty`, `InstallMode`) VALUES ('KEY', 'UserSettings',"
                        + " 'MyApp.ini', 'USERSETTINGS1', 2)",
                insert + "`FileName`, `DirProperty`, `InstallMode`) VALUES ('KEY', 'UserSettings',"
                        + " 'O''Neil.ini', 'USERSETTINGS1', 2)",
                insert + "`DirProperty`, `InstallMode`) VALUES ('KEY', 'UserSettings',"
                        + " 'USERSETTINGS1', 2)",
                insert + "`DirProperty`, `InstallMode`) VALUES ('KEY', 'UserSettings',"
                        + " 'USERSETTINGS0', 2)"), queries);
    }

    /** Each error names the option and says what to give. */
    @ParameterizedTest
    @CsvSource(delimiter = '|', value = {
        "--msi-scope everyone|--msi-scope \"everyone\": give user",
        "--msi-scope machine|only apply together with --msi",
        "--msi-remove-user-settings|only apply together with --msi",
        "--msi x.msi --file-association myd|--file-association \"myd\": give the extension",
        "--msi x.msi --file-association .m/d=Text|give the extension",
        "--msi x.msi --file-association .a=A --file-association A=B|.A is given twice",
        "--msi x.msi --version 256.1|an installer's version takes its first two numbers",
        "--msi dist/x.msi|--msi dist/x.msi lies inside --out dist",
        "--msi x.msi --msi-wxs x.msi|name the same file",
        "--msi x.msi --description Привет|U+041F is not one an installer built with wixl",
        "--msi x.msi --company R$(x)|wixl would read its \"$(\" as a variable",
        "--msi x.msi --jar данные.jar|--jar \"данные.jar\": its character U+0434",
    })
    void installerOptionsAreChecked(String extra, String expected) {
        List<String> args = new ArrayList<>(List.of("--name", "MyApp", "--jar", "app.jar",
                "--out", "dist"));
        args.addAll(Arrays.asList(extra.split(" ")));
        UsageException e = assertThrows(UsageException.class, () -> OptionParser.parse(args));
        assertTrue(e.getMessage().contains(expected), e.getMessage());
    }

    /** The source alone needs no wixl, and lists exactly the pack's files. */
    @Test
    void theWixSourceAloneIsWrittenBesideThePack(@TempDir Path work) throws Exception {
        Path jar = TestInputs.jar(work.resolve("in/app.jar"), "com.example.App", 52, true);
        Path wxs = work.resolve("installer/app.wxs");
        PackOptions options = OptionParser.parse(List.of("--name", "App", "--jar",
                jar.toString(), "--out", work.resolve("App").toString(), "--msi-wxs",
                wxs.toString(), "--upgrade-code", CODE));
        Packer.pack(options);
        Document wix = DocumentBuilderFactory.newInstance().newDocumentBuilder()
                .parse(Files.newInputStream(wxs));
        List<String> names = new ArrayList<>();
        for (Element file : elements(wix, "File")) names.add(file.getAttribute("Source"));
        names.sort(null);
        assertEquals(List.of("$(var.SourceDir)/App.exe", "$(var.SourceDir)/App.ini",
                "$(var.SourceDir)/App64.exe", "$(var.SourceDir)/App64.ini",
                "$(var.SourceDir)/lib/app.jar"), names);
    }
}
