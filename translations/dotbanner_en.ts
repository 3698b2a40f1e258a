<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="fr">
<context>
    <name>AboutPanel</name>
    <message>
        <source>À propos de Dotbanner</source>
        <translation>About Dotbanner</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Version %1 (%2)</source>
        <translation>Version %1 (%2)</translation>
    </message>
    <message>
        <source>Un bandeau à LED qui fait défiler vos cours, métaux, météo et actualités.</source>
        <translation>An LED band that scrolls your quotes, metals, weather and news.</translation>
    </message>
    <message>
        <source>Cours : Yahoo Finance et Twelve Data</source>
        <translation>Quotes: Yahoo Finance and Twelve Data</translation>
    </message>
    <message>
        <source>Métaux : Metals.Dev</source>
        <translation>Metals: Metals.Dev</translation>
    </message>
    <message>
        <source>Données météo fournies par WeatherAPI.com</source>
        <translation>Weather data provided by WeatherAPI.com</translation>
    </message>
    <message>
        <source>Logiciel libre sous licence MIT.</source>
        <translation>Free software under the MIT licence.</translation>
    </message>
    <message>
        <source>Texte de la licence</source>
        <translation>Licence text</translation>
    </message>
    <message>
        <source>Site du projet</source>
        <translation>Project website</translation>
    </message>
</context>
<context>
    <name>AlertEditor</name>
    <message>
        <source>Au-dessus de %1</source>
        <translation>Above %1</translation>
    </message>
    <message>
        <source>En dessous de %1</source>
        <translation>Below %1</translation>
    </message>
    <message>
        <source>Variation du jour de %1 %</source>
        <translation>Day&apos;s move of %1 %</translation>
    </message>
    <message>
        <source>Aucune alerte</source>
        <translation>No alert</translation>
    </message>
    <message>
        <source>Alerte pour %1</source>
        <translation>Alert for %1</translation>
    </message>
    <message>
        <source>Au-dessus de</source>
        <translation>Above</translation>
    </message>
    <message>
        <source>En dessous de</source>
        <translation>Below</translation>
    </message>
    <message>
        <source>Variation du jour (%)</source>
        <translation>Day&apos;s move (%)</translation>
    </message>
    <message>
        <source>aucune</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Chaque seuil est un nombre positif, ou vide pour aucun.</source>
        <translation>Each threshold is a positive number, or empty for none.</translation>
    </message>
    <message>
        <source>Alerte</source>
        <translation>Alert</translation>
    </message>
</context>
<context>
    <name>AlertWatcher</name>
    <message>
        <source>%1 — au-dessus de %2</source>
        <translation>%1 — above %2</translation>
    </message>
    <message>
        <source>%1 — en dessous de %2</source>
        <translation>%1 — below %2</translation>
    </message>
    <message>
        <source>%1, %2 % aujourd&apos;hui — baisse de plus de %3 %</source>
        <translation>%1, %2 % today — down more than %3 %</translation>
    </message>
    <message>
        <source>%1, %2 % aujourd&apos;hui — hausse de plus de %3 %</source>
        <translation>%1, %2 % today — up more than %3 %</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>Ce bureau n&apos;affiche pas d&apos;icône de Dotbanner : un clic droit sur le bandeau ouvre son menu, et relancer Dotbanner rouvre ces réglages.</source>
        <translation>This desktop shows no Dotbanner icon: a right click on the band opens its menu, and starting Dotbanner again reopens these settings.</translation>
    </message>
    <message>
        <source>impossible d&apos;écrire l&apos;image du bandeau dans %1</source>
        <translation>could not write the band&apos;s picture to %1</translation>
    </message>
</context>
<context>
    <name>AppMenu</name>
    <message>
        <source>À propos de Dotbanner</source>
        <translation>About Dotbanner</translation>
    </message>
    <message>
        <source>Réglages…</source>
        <translation>Settings…</translation>
    </message>
    <message>
        <source>Actualiser</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Quitter Dotbanner</source>
        <translation>Quit Dotbanner</translation>
    </message>
</context>
<context>
    <name>BandLookRows</name>
    <message>
        <source>Hausse et baisse</source>
        <translation>Up and down</translation>
    </message>
    <message>
        <source>Graphique de la journée après chaque action</source>
        <translation>Day chart after each stock</translation>
    </message>
    <message>
        <source>Bleu / orange</source>
        <translation>Blue / orange</translation>
    </message>
    <message>
        <source>Rouge en hausse, vert en baisse</source>
        <translation>Red up, green down</translation>
    </message>
    <message>
        <source>Vert en hausse, rouge en baisse</source>
        <translation>Green up, red down</translation>
    </message>
</context>
<context>
    <name>ContentTab</name>
    <message>
        <source>Paris, Lyon, Tokyo</source>
        <translation>London, New York, Tokyo</translation>
    </message>
    <message>
        <source>Or, Argent, Cuivre</source>
        <translation>Gold, Silver, Copper</translation>
    </message>
    <message>
        <source>Retirer du bandeau</source>
        <translation>Remove from the band</translation>
    </message>
    <message>
        <source>Affiché dans le bandeau</source>
        <translation>Shown in the band</translation>
    </message>
    <message>
        <source>Modifier</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Rien à afficher. Ajoute une valeur ci-dessous.</source>
        <translation>Nothing to show. Add an item below.</translation>
    </message>
    <message>
        <source>Ajouter</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Métaux</source>
        <translation>Metals</translation>
    </message>
    <message>
        <source>Devise</source>
        <translation>Currency</translation>
    </message>
    <message>
        <source>Once troy (toz)</source>
        <translation>Troy ounce (toz)</translation>
    </message>
    <message>
        <source>Gramme (g)</source>
        <translation>Gram (g)</translation>
    </message>
    <message>
        <source>Unité</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Les métaux et la météo sont actualisés 3 fois par jour : 9h00, 12h30 et 17h00.</source>
        <translation>Metals and weather are refreshed 3 times a day: 9:00, 12:30 and 17:00.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Seules les %1 premières valeurs s&apos;affichent dans le bandeau ; les suivantes sont gardées ici.</source>
        <translation>Only the first %1 values are shown on the band; the others are kept here.</translation>
    </message>
    <message>
        <source>« %1 » retiré du bandeau</source>
        <translation>“%1” removed from the band</translation>
    </message>
    <message>
        <source>Retirer %1 du bandeau</source>
        <translation>Remove %1 from the band</translation>
    </message>
</context>
<context>
    <name>DisplayTab</name>
    <message>
        <source>Fenêtre</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Emplacement</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Repousser les fenêtres ouvertes sous le bandeau</source>
        <translation>Push open windows out from under the band</translation>
    </message>
    <message>
        <source>Bandeau</source>
        <translation>Band</translation>
    </message>
    <message>
        <source>Variante</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Police</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Couleurs</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>Résolution des LED</source>
        <translation>LED size</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>%1 px</source>
        <translation>%1 px</translation>
    </message>
    <message>
        <source>Afficher Dotbanner dans la barre des tâches</source>
        <translation>Show Dotbanner in the taskbar</translation>
    </message>
    <message>
        <source>Lancer Dotbanner à l&apos;ouverture de session</source>
        <translation>Start Dotbanner when you log in</translation>
    </message>
    <message>
        <source>Écran</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>Continu</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>Par étapes, sans animation</source>
        <translation>In steps, without animation</translation>
    </message>
    <message>
        <source>Défilement</source>
        <translation>Scrolling</translation>
    </message>
</context>
<context>
    <name>EnumTitles</name>
    <message>
        <source>Au premier plan</source>
        <translation>In front</translation>
    </message>
    <message>
        <source>Normal (les fenêtres peuvent le couvrir)</source>
        <translation>Normal (windows can cover it)</translation>
    </message>
    <message>
        <source>Derrière toutes les fenêtres</source>
        <translation>Behind all windows</translation>
    </message>
    <message>
        <source>Haut de l&apos;écran</source>
        <translation>Top of the screen</translation>
    </message>
    <message>
        <source>Bas de l&apos;écran</source>
        <translation>Bottom of the screen</translation>
    </message>
    <message>
        <source>1 ligne (cours)</source>
        <translation>1 line (quotes)</translation>
    </message>
    <message>
        <source>2 lignes (cours + actualités)</source>
        <translation>2 lines (quotes + news)</translation>
    </message>
    <message>
        <source>Pixel gras</source>
        <translation>Bold pixel</translation>
    </message>
    <message>
        <source>Pixel 5×7</source>
        <translation>Pixel 5×7</translation>
    </message>
    <message>
        <source>Haute définition</source>
        <translation>High definition</translation>
    </message>
    <message>
        <source>Vert / rouge</source>
        <translation>Green / red</translation>
    </message>
    <message>
        <source>Ambre</source>
        <translation>Amber</translation>
    </message>
    <message>
        <source>Bleu</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Yahoo Finance (sans clé, non officiel)</source>
        <translation>Yahoo Finance (no key, unofficial)</translation>
    </message>
    <message>
        <source>Twelve Data (clé API personnelle)</source>
        <translation>Twelve Data (personal API key)</translation>
    </message>
    <message>
        <source>Action, ETF, indice, crypto</source>
        <translation>Stock, ETF, index, crypto</translation>
    </message>
    <message>
        <source>Ville (météo)</source>
        <translation>City (weather)</translation>
    </message>
    <message>
        <source>Métal</source>
        <translation>Metal</translation>
    </message>
</context>
<context>
    <name>ItemHealth</name>
    <message>
        <source>%1 — cliquer pour l&apos;ajouter</source>
        <translation>%1 — click to add it</translation>
    </message>
    <message>
        <source>%1 — cliquer pour la corriger</source>
        <translation>%1 — click to fix it</translation>
    </message>
</context>
<context>
    <name>KeyServiceInfo</name>
    <message>
        <source>Colle ta clé Twelve Data ici</source>
        <translation>Paste your Twelve Data key here</translation>
    </message>
    <message>
        <source>Actions, ETF, indices, crypto, devises</source>
        <translation>Stocks, ETFs, indices, crypto, currencies</translation>
    </message>
    <message>
        <source>Crée un compte gratuit</source>
        <translation>Create a free account</translation>
    </message>
    <message>
        <source>Sur le site de Twelve Data, clique sur « Sign up » et confirme ton adresse e-mail.</source>
        <translation>On the Twelve Data site, click “Sign up” and confirm your e-mail address.</translation>
    </message>
    <message>
        <source>Ouvre ton tableau de bord</source>
        <translation>Open your dashboard</translation>
    </message>
    <message>
        <source>Une fois connecté, va dans la section « API keys ».</source>
        <translation>Once signed in, go to the “API keys” section.</translation>
    </message>
    <message>
        <source>Copie ta clé</source>
        <translation>Copy your key</translation>
    </message>
    <message>
        <source>Une clé est déjà générée pour toi. Copie-la avec le bouton prévu.</source>
        <translation>A key has already been made for you. Copy it with the button next to it.</translation>
    </message>
    <message>
        <source>Colle-la ici</source>
        <translation>Paste it here</translation>
    </message>
    <message>
        <source>Reviens dans l&apos;onglet Clés API de Dotbanner et colle-la dans le champ. Elle reste dans le trousseau de ton ordinateur.</source>
        <translation>Come back to Dotbanner&apos;s API Keys tab and paste it into the field. It stays in your computer&apos;s keyring.</translation>
    </message>
    <message>
        <source>Offre gratuite : 8 requêtes par minute et 800 par jour. Les places boursières hors États-Unis peuvent demander un forfait payant : vérifie la couverture sur ton compte.</source>
        <translation>Free plan: 8 requests a minute and 800 a day. Exchanges outside the United States may need a paid plan: check the coverage on your account.</translation>
    </message>
    <message>
        <source>Colle ta clé WeatherAPI ici</source>
        <translation>Paste your WeatherAPI key here</translation>
    </message>
    <message>
        <source>Météo et recherche de villes</source>
        <translation>Weather and city search</translation>
    </message>
    <message>
        <source>Sur %1, clique sur « Sign up » et valide ton e-mail.</source>
        <translation>On %1, click “Sign up” and confirm your e-mail.</translation>
    </message>
    <message>
        <source>Ta clé API s&apos;affiche directement sur la page d&apos;accueil du compte.</source>
        <translation>Your API key is shown right on the account&apos;s home page.</translation>
    </message>
    <message>
        <source>Sélectionne la clé et copie-la.</source>
        <translation>Select the key and copy it.</translation>
    </message>
    <message>
        <source>Colle-la dans le champ WeatherAPI de l&apos;onglet Clés API. Les villes se suggèrent alors dès que tu tapes.</source>
        <translation>Paste it into the WeatherAPI field of the API Keys tab. Cities are then suggested as you type.</translation>
    </message>
    <message>
        <source>Offre gratuite : environ 100 000 appels par mois. L&apos;app interroge la météo 3 fois par jour. Le nom WeatherAPI.com doit être cité comme source.</source>
        <translation>Free plan: about 100,000 calls a month. The app asks for the weather 3 times a day. WeatherAPI.com must be credited as the source.</translation>
    </message>
    <message>
        <source>Colle ta clé Metals.Dev ici</source>
        <translation>Paste your Metals.Dev key here</translation>
    </message>
    <message>
        <source>Or, argent, platine, cuivre…</source>
        <translation>Gold, silver, platinum, copper…</translation>
    </message>
    <message>
        <source>Crée un compte</source>
        <translation>Create an account</translation>
    </message>
    <message>
        <source>Sur %1, inscris-toi avec ton e-mail.</source>
        <translation>On %1, sign up with your e-mail.</translation>
    </message>
    <message>
        <source>Récupère ta clé</source>
        <translation>Get your key</translation>
    </message>
    <message>
        <source>Elle apparaît dans ton tableau de bord, dans la section « API key ».</source>
        <translation>It appears on your dashboard, in the “API key” section.</translation>
    </message>
    <message>
        <source>Colle-la dans le champ Metals.Dev de l&apos;onglet Clés API.</source>
        <translation>Paste it into the Metals.Dev field of the API Keys tab.</translation>
    </message>
    <message>
        <source>Rien d&apos;autre à faire</source>
        <translation>Nothing else to do</translation>
    </message>
    <message>
        <source>L&apos;app n&apos;interroge Metals.Dev que 3 fois par jour (9h00, 12h30 et 17h00), pour rester dans les quotas.</source>
        <translation>The app asks Metals.Dev only 3 times a day (9:00, 12:30 and 17:00) to stay within the quotas.</translation>
    </message>
    <message>
        <source>Les quotas de l&apos;offre gratuite dépendent de ton compte : vérifie-les sur le site avant de t&apos;en servir.</source>
        <translation>The free plan&apos;s quotas depend on your account: check them on the site before you rely on it.</translation>
    </message>
</context>
<context>
    <name>KeysTab</name>
    <message>
        <source>Actions, ETF, indices, crypto</source>
        <translation>Stocks, ETFs, indices, crypto</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Météo</source>
        <translation>Weather</translation>
    </message>
    <message>
        <source>Données météo fournies par</source>
        <translation>Weather data provided by</translation>
    </message>
    <message>
        <source>Métaux</source>
        <translation>Metals</translation>
    </message>
    <message>
        <source>Yahoo Finance n&apos;a pas d&apos;API officielle : pratique pour essayer, mais pas garanti dans la durée. Les symboles diffèrent d&apos;une source à l&apos;autre : change de source, puis réajoute tes valeurs.</source>
        <translation>Yahoo Finance has no official API: handy to try things out, but not guaranteed to last. Symbols differ from one source to another: change the source, then add your items again.</translation>
    </message>
    <message>
        <source>Tes clés sont stockées dans le trousseau de ton ordinateur et ne sont envoyées qu&apos;au service concerné.</source>
        <translation>Your keys are kept in your computer&apos;s keyring and are sent only to the service they belong to.</translation>
    </message>
    <message>
        <source>Tutoriel</source>
        <translation>Tutorial</translation>
    </message>
    <message>
        <source>Trousseau indisponible : la clé ne sera pas gardée après la fermeture de Dotbanner.</source>
        <translation>Keyring unavailable: the key will not be kept after Dotbanner closes.</translation>
    </message>
    <message>
        <source>Trousseau indisponible : tes clés ne sont gardées que jusqu&apos;à la fermeture de Dotbanner, et ne sont envoyées qu&apos;au service concerné.</source>
        <translation>Keyring unavailable: your keys are kept only until Dotbanner quits, and are sent only to the service they belong to.</translation>
    </message>
    <message>
        <source>Nouvelle clé : en attente de la réponse du service</source>
        <translation>New key: waiting for the service to answer</translation>
    </message>
</context>
<context>
    <name>LineTargets</name>
    <message>
        <source>Ensoleillé</source>
        <translation>Sunny</translation>
    </message>
    <message>
        <source>Ciel dégagé</source>
        <translation>Clear sky</translation>
    </message>
    <message>
        <source>Partiellement nuageux</source>
        <translation>Partly cloudy</translation>
    </message>
    <message>
        <source>Nuageux</source>
        <translation>Cloudy</translation>
    </message>
    <message>
        <source>Pluie</source>
        <translation>Rain</translation>
    </message>
    <message>
        <source>Neige</source>
        <translation>Snow</translation>
    </message>
    <message>
        <source>Orage</source>
        <translation>Thunderstorm</translation>
    </message>
    <message>
        <source>Brouillard</source>
        <translation>Fog</translation>
    </message>
    <message>
        <source>Valeur non mise à jour depuis %1</source>
        <translation>Value not updated since %1</translation>
    </message>
    <message>
        <source>Valeur de %1</source>
        <translation>Value as of %1</translation>
    </message>
    <message>
        <source>Marché fermé — ouvre à %1</source>
        <translation>Market closed — opens at %1</translation>
    </message>
    <message>
        <source>Avant-Bourse : %1</source>
        <translation>Pre-market: %1</translation>
    </message>
    <message>
        <source>Après-Bourse : %1</source>
        <translation>After hours: %1</translation>
    </message>
</context>
<context>
    <name>NewsSection</name>
    <message>
        <source>Nom du média</source>
        <translation>Outlet name</translation>
    </message>
    <message>
        <source>illisible</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>Retirer cette source</source>
        <translation>Remove this source</translation>
    </message>
    <message numerus="yes">
        <source>%n titres</source>
        <translation>
            <numerusform>%n headline</numerusform>
            <numerusform>%n headlines</numerusform>
        </translation>
    </message>
    <message>
        <source>Actualités (ligne du bas)</source>
        <translation>News (bottom line)</translation>
    </message>
    <message>
        <source>Nom</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Ajouter</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Sources par défaut</source>
        <translation>Default sources</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Flux RSS ou Atom. Les titres défilent sur la ligne du bas, actualisés toutes les 10 minutes.</source>
        <translation>RSS or Atom feeds. Headlines scroll on the bottom line and are refreshed every 10 minutes.</translation>
    </message>
    <message>
        <source>Les actualités s&apos;affichent en choisissant « 2 lignes » dans l&apos;onglet Affichage.</source>
        <translation>News is shown when you choose “2 lines” in the Display tab.</translation>
    </message>
    <message>
        <source>Seules les %1 premières sources activées sont lues ; les suivantes sont gardées ici.</source>
        <translation>Only the first %1 enabled sources are read; the others are kept here.</translation>
    </message>
    <message>
        <source>Lire %1</source>
        <translation>Read %1</translation>
    </message>
    <message>
        <source>Retirer %1</source>
        <translation>Remove %1</translation>
    </message>
    <message>
        <source>« %1 » retiré des actualités</source>
        <translation>“%1” removed from the news</translation>
    </message>
</context>
<context>
    <name>ScreenPicker</name>
    <message>
        <source>Écran principal</source>
        <translation>Primary screen</translation>
    </message>
    <message>
        <source>%1 (débranché)</source>
        <translation>%1 (unplugged)</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>SearchModel</name>
    <message>
        <source>Ajoute ta clé WeatherAPI dans l&apos;onglet Clés API.</source>
        <translation>Add your WeatherAPI key in the API Keys tab.</translation>
    </message>
    <message>
        <source>Aucun résultat ou clé invalide.</source>
        <translation>No results, or the key is not valid.</translation>
    </message>
    <message>
        <source>Ajoute ta clé Twelve Data dans l&apos;onglet Clés API.</source>
        <translation>Add your Twelve Data key in the API Keys tab.</translation>
    </message>
    <message>
        <source>Recherche impossible. Vérifie ta clé.</source>
        <translation>Search failed. Check your key.</translation>
    </message>
    <message>
        <source>Recherche impossible pour l&apos;instant.</source>
        <translation>Search is not possible right now.</translation>
    </message>
    <message>
        <source>Métal · %1/%2</source>
        <translation>Metal · %1/%2</translation>
    </message>
    <message>
        <source>Or · Gold</source>
        <translation>Gold</translation>
    </message>
    <message>
        <source>OR</source>
        <translation>GOLD</translation>
    </message>
    <message>
        <source>Argent · Silver</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>ARGENT</source>
        <translation>SILVER</translation>
    </message>
    <message>
        <source>Platine · Platinum</source>
        <translation>Platinum</translation>
    </message>
    <message>
        <source>PLATINE</source>
        <translation>PLATINUM</translation>
    </message>
    <message>
        <source>Palladium</source>
        <translation>Palladium</translation>
    </message>
    <message>
        <source>PALLAD</source>
        <translation>PALLAD</translation>
    </message>
    <message>
        <source>Cuivre · Copper</source>
        <translation>Copper</translation>
    </message>
    <message>
        <source>CUIVRE</source>
        <translation>COPPER</translation>
    </message>
    <message>
        <source>Aluminium</source>
        <translation>Aluminium</translation>
    </message>
    <message>
        <source>ALU</source>
        <translation>ALU</translation>
    </message>
    <message>
        <source>Nickel</source>
        <translation>Nickel</translation>
    </message>
    <message>
        <source>NICKEL</source>
        <translation>NICKEL</translation>
    </message>
    <message>
        <source>Zinc</source>
        <translation>Zinc</translation>
    </message>
    <message>
        <source>ZINC</source>
        <translation>ZINC</translation>
    </message>
    <message>
        <source>Plomb · Lead</source>
        <translation>Lead</translation>
    </message>
    <message>
        <source>PLOMB</source>
        <translation>LEAD</translation>
    </message>
    <message>
        <source>Étain · Tin</source>
        <translation>Tin</translation>
    </message>
    <message>
        <source>ETAIN</source>
        <translation>TIN</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Bandeau LED de cours, météo et actualités</source>
        <translation>LED band for quotes, weather and news</translation>
    </message>
    <message>
        <source>Version %1 (%2) · %3</source>
        <translation>Version %1 (%2) · %3</translation>
    </message>
    <message>
        <source>Dotbanner, réglages</source>
        <translation>Dotbanner Settings</translation>
    </message>
    <message>
        <source>Affichage</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Contenu</source>
        <translation>Content</translation>
    </message>
    <message>
        <source>Clés API</source>
        <translation>API Keys</translation>
    </message>
    <message>
        <source>Terminer</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Dotbanner, réglages</source>
        <translation>Dotbanner Settings</translation>
    </message>
    <message>
        <source>Édition</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Rétablir</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Couper</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Copier</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Coller</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Tout sélectionner</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>SourceHealthText</name>
    <message>
        <source>%1 : symbole introuvable</source>
        <translation>%1: symbol not found</translation>
    </message>
    <message>
        <source>%1 : lieu introuvable</source>
        <translation>%1: place not found</translation>
    </message>
    <message>
        <source>%1 : métal introuvable</source>
        <translation>%1: metal not found</translation>
    </message>
    <message>
        <source>%1 : flux introuvable</source>
        <translation>%1: feed not found</translation>
    </message>
    <message>
        <source>%1 : symbole invalide</source>
        <translation>%1: invalid symbol</translation>
    </message>
    <message>
        <source>%1 : adresse invalide</source>
        <translation>%1: invalid address</translation>
    </message>
    <message>
        <source>%1 injoignable (%2)</source>
        <translation>%1 unreachable (%2)</translation>
    </message>
    <message>
        <source>Pas de réseau (%1)</source>
        <translation>No network (%1)</translation>
    </message>
    <message>
        <source>Flux</source>
        <translation>Feed</translation>
    </message>
    <message>
        <source>hôte introuvable</source>
        <translation>host not found</translation>
    </message>
    <message>
        <source>connexion refusée</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>connexion interrompue</source>
        <translation>connection closed</translation>
    </message>
    <message>
        <source>connexion sécurisée impossible</source>
        <translation>secure connection failed</translation>
    </message>
    <message>
        <source>réseau inaccessible</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>erreur du proxy</source>
        <translation>proxy error</translation>
    </message>
    <message>
        <source>erreur réseau</source>
        <translation>network error</translation>
    </message>
    <message>
        <source>Clé %1 manquante</source>
        <translation>%1 key missing</translation>
    </message>
    <message>
        <source>%1 a refusé la clé</source>
        <translation>%1 refused the key</translation>
    </message>
    <message>
        <source>%1 : accès refusé</source>
        <translation>%1: access denied</translation>
    </message>
    <message>
        <source>%1 : trop de requêtes</source>
        <translation>%1: too many requests</translation>
    </message>
    <message>
        <source>%1 : erreur du serveur</source>
        <translation>%1: server error</translation>
    </message>
    <message>
        <source>%1 : requête refusée</source>
        <translation>%1: request refused</translation>
    </message>
    <message>
        <source>Pas de réponse de %1 (délai dépassé)</source>
        <translation>No answer from %1 (time-out)</translation>
    </message>
    <message>
        <source>%1 : réponse illisible</source>
        <translation>%1: unreadable answer</translation>
    </message>
    <message>
        <source>%1 a répondu par une erreur</source>
        <translation>%1 answered with an error</translation>
    </message>
    <message>
        <source>%1 : trop de redirections</source>
        <translation>%1: too many redirects</translation>
    </message>
    <message>
        <source>%1 : redirection refusée</source>
        <translation>%1: redirect refused</translation>
    </message>
    <message>
        <source>%1 (HTTP %2)</source>
        <translation>%1 (HTTP %2)</translation>
    </message>
    <message>
        <source>%1 (code %2)</source>
        <translation>%1 (code %2)</translation>
    </message>
    <message>
        <source>%1, prochain essai à %2</source>
        <translation>%1, next try at %2</translation>
    </message>
    <message>
        <source>accès refusé</source>
        <translation>access denied</translation>
    </message>
    <message>
        <source>trop de requêtes</source>
        <translation>too many requests</translation>
    </message>
    <message>
        <source>introuvable</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>erreur du serveur</source>
        <translation>server error</translation>
    </message>
    <message>
        <source>requête refusée</source>
        <translation>request refused</translation>
    </message>
    <message>
        <source>Pas encore utilisée</source>
        <translation>Not used yet</translation>
    </message>
    <message>
        <source>Acceptée</source>
        <translation>Accepted</translation>
    </message>
    <message>
        <source>Acceptée — dernière réponse à %1</source>
        <translation>Accepted — last answer at %1</translation>
    </message>
    <message>
        <source>Aucune clé : les valeurs de %1 ne sont pas demandées</source>
        <translation>No key: values from %1 are not requested</translation>
    </message>
    <message>
        <source>Refusée par %1 (HTTP %2) : vérifie la clé</source>
        <translation>Rejected by %1 (HTTP %2): check the key</translation>
    </message>
    <message>
        <source>Refusée par %1 : vérifie la clé</source>
        <translation>Rejected by %1: check the key</translation>
    </message>
    <message>
        <source>%1 à %2</source>
        <translation>%1 at %2</translation>
    </message>
    <message>
        <source>%1 ; prochain essai à %2</source>
        <translation>%1; next try at %2</translation>
    </message>
    <message>
        <source>HTTP %1 — %2</source>
        <translation>HTTP %1 — %2</translation>
    </message>
    <message>
        <source>délai dépassé</source>
        <translation>time-out</translation>
    </message>
    <message>
        <source>réponse illisible</source>
        <translation>unreadable answer</translation>
    </message>
    <message>
        <source>trop de redirections</source>
        <translation>too many redirects</translation>
    </message>
    <message>
        <source>redirection refusée</source>
        <translation>redirect refused</translation>
    </message>
    <message>
        <source>adresse invalide</source>
        <translation>invalid address</translation>
    </message>
</context>
<context>
    <name>TickerController</name>
    <message>
        <source>Chargement des actualites...</source>
        <translation>Loading news...</translation>
    </message>
    <message>
        <source>Aucune source d&apos;actualites : ajoute un flux RSS dans les reglages</source>
        <translation>No news source: add an RSS feed in the settings</translation>
    </message>
    <message>
        <source>Actualites indisponibles : aucun flux n&apos;a pu etre lu</source>
        <translation>News unavailable: no feed could be read</translation>
    </message>
    <message>
        <source>CLE?</source>
        <translation>KEY?</translation>
    </message>
    <message>
        <source>Bandeau Dotbanner</source>
        <translation>Dotbanner band</translation>
    </message>
    <message>
        <source>Cours</source>
        <translation>Quotes</translation>
    </message>
    <message>
        <source>Actualités</source>
        <translation>News</translation>
    </message>
</context>
<context>
    <name>TutorialSheet</name>
    <message>
        <source>Obtenir une clé %1</source>
        <translation>Get a %1 key</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Ouvrir %1</source>
        <translation>Open %1</translation>
    </message>
</context>
<context>
    <name>UndoBar</name>
    <message>
        <source>Suppression</source>
        <translation>Removal</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Undo</translation>
    </message>
</context>
<context>
    <name>WindowHandlingStatus</name>
    <message>
        <source>Session X11 : les fenêtres ouvertes sous le bandeau sont repoussées en dessous.</source>
        <translation>X11 session: windows opened under the band are pushed below it.</translation>
    </message>
    <message>
        <source>Session Wayland (layer-shell) : le compositeur dispose les fenêtres hors du bandeau.</source>
        <translation>Wayland session (layer-shell): the compositor lays windows out clear of the band.</translation>
    </message>
    <message>
        <source>Session Wayland sans layer-shell : le bandeau passe par XWayland et réserve sa bande d&apos;écran, les fenêtres restent en dehors.</source>
        <translation>Wayland session without layer-shell: the band goes through XWayland and reserves its strip of the screen; windows stay out of it.</translation>
    </message>
    <message>
        <source>Session X11 : les fenêtres ne peuvent pas être repoussées, le gestionnaire de fenêtres ne dit pas où elles sont (norme EWMH).</source>
        <translation>X11 session: windows cannot be pushed aside, the window manager does not tell where they are (EWMH standard).</translation>
    </message>
    <message>
        <source>Les fenêtres ne peuvent pas être repoussées : ce bureau ne le permet pas.</source>
        <translation>Windows cannot be pushed aside: this desktop does not allow it.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Dotbanner a besoin d&apos;une session graphique (X11 ou Wayland) et n&apos;en trouve aucune ; « dotbanner --snapshot FICHIER » fait une image du bandeau sans affichage.</source>
        <translation>Dotbanner needs a graphical session (X11 or Wayland) and finds none; “dotbanner --snapshot FILE” draws a picture of the band without a display.</translation>
    </message>
    <message>
        <source>Dotbanner ne peut pas s&apos;afficher dans cette session Wayland : il manque XWayland (aucun affichage X11) et le module Wayland de Qt (paquet qt6-wayland).</source>
        <translation>Dotbanner cannot show itself in this Wayland session: it lacks XWayland (no X11 display) and Qt&apos;s Wayland module (package qt6-wayland).</translation>
    </message>
</context>
</TS>
